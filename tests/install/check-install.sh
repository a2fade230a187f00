#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what a desktop finds
# there: the program; a valid desktop entry whose program and icon (scalable and
# every PNG size, each as large as its folder says) are installed; a valid
# AppStream description of that entry; a manual page groff reads without a warning.
set -euo pipefail
build=${1:?usage: check-install.sh BUILD_DIR}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix/usr" >/dev/null
share=$prefix/usr/share
id=com.zentrovo.vistrel
entry=$share/applications/$id.desktop

[ -x "$prefix/usr/bin/vistrel" ] || fail "no program in bin"
desktop-file-validate "$entry" || fail "desktop entry does not validate"
for key in Exec TryExec; do
    program=$(sed -n "s/^$key=\([^ ]*\).*/\1/p" "$entry")
    [ -x "$prefix/usr/bin/$program" ] || fail "$key names '$program', which is not installed"
done
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon '$icon'"
for size in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x$size/apps/$icon.png
    [ -f "$png" ] || fail "no $size px icon"
    # Width and height are the big-endian words at bytes 16 and 20 of a PNG.
    read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
        awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
    [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "$png is ${width}x$height"
done

appstreamcli validate --no-net --pedantic "$share/metainfo/$id.metainfo.xml" || fail "metainfo does not validate"
# The tree check also finds the desktop entry the metainfo launches.
appstreamcli validate-tree --no-net "$prefix" || fail "installed tree does not validate"

manual=$share/man/man1/vistrel.1
[ -f "$manual" ] || fail "no manual page"
warnings=$(LC_ALL=C.UTF-8 groff -man -ww -z -Tutf8 "$manual" 2>&1)
[ -z "$warnings" ] || fail "manual page: $warnings"
[ -f "$share/doc/vistrel/README.md" ] || fail "no README for Help"
echo "installed tree is complete and valid"
