#!/usr/bin/env bash
# Installs the Debian package into a fresh minimal Debian 12 root (debootstrap
# --variant=minbase, chroot with /proc, /sys and /dev) the way a user would:
# apt-get install ./vistrel_*.deb pulls the dependencies; then the program
# prints its version and writes a snapshot; then purging the package leaves
# nothing of it behind but the user's settings, and its dependencies go with
# apt-get autoremove.
# Needs root and the Debian mirror; takes a few minutes (not part of CI).
# Usage: tests/package/install-in-fresh-root.sh [build/package/vistrel_*.deb]
set -euo pipefail
cd "$(dirname "$0")/../.."
deb=${1:-$(ls build/package/vistrel_*_"$(dpkg --print-architecture)".deb | tail -1)}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
[ "$(id -u)" -eq 0 ] || { echo "needs root (debootstrap, chroot, mount)" >&2; exit 1; }
scripts/install-deps --package

root=$(mktemp -d)
cleanup() {
  for mount in proc sys dev; do umount -R "$root/$mount" 2>/dev/null || true; done
  # Never delete through a mount that is still there (the host's /dev).
  if findmnt -rn -o TARGET | grep -q "^$root/"; then
    echo "still mounted below $root; left in place" >&2
    return
  fi
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }
# apt's download user cannot reach the lists of a root made by root.
apt=(apt-get -o APT::Sandbox::User=root)
# Every file of the root but the package manager's own records and caches.
files() {
  in_root find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /var/lib/dpkg -o -path /var/lib/apt \
    -o -path /var/cache -o -path /var/log -o -path /tmp \) -prune -o -print | sort
}

echo "== debootstrap --variant=minbase bookworm ($mirror)"
mkdir -p build/package/debootstrap-cache
debootstrap --variant=minbase --cache-dir="$PWD/build/package/debootstrap-cache" bookworm "$root" "$mirror" \
  > "$root.log" 2>&1 || { tail -20 "$root.log"; exit 1; }
rm -f "$root.log"
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
in_root "${apt[@]}" update -qq
packages_before=$(in_root dpkg-query -W | wc -l)

echo "== apt-get install ./$(basename "$deb")"
in_root "${apt[@]}" install -y -qq "/tmp/$(basename "$deb")" > "$root/tmp/install.log" 2>&1 ||
  { cat "$root/tmp/install.log"; exit 1; }
echo "$(( $(in_root dpkg-query -W | wc -l) - packages_before )) packages installed with their dependencies"
in_root dpkg-query -W -f='${Package} ${Version} ${Installed-Size} kB\n' vistrel
in_root dpkg -L vistrel | sort > "$root/tmp/package-files"
files > "$root/tmp/installed"

echo "== vistrel --version"
in_root vistrel --version
echo "== vistrel --snapshot /tmp/snapshot (stderr follows, if any)"
in_root vistrel --snapshot /tmp/snapshot --ticks 2
in_root ls -l /tmp/snapshot
in_root sh -c 'head -3 /tmp/snapshot/*-QRNCPUMonitorItem.menu.txt'

echo "== apt-get purge vistrel"
in_root "${apt[@]}" purge -y -qq vistrel > /dev/null 2>&1
left=0
while read -r path; do
  if [ -f "$root$path" ]; then echo "left behind: $path"; left=1; fi
done < "$root/tmp/package-files"
files > "$root/tmp/after"
echo "files that running and removing Vistrel added:"
comm -13 "$root/tmp/installed" "$root/tmp/after" | sed 's/^/  /'
unexpected=$(comm -13 "$root/tmp/installed" "$root/tmp/after" | grep -v '^/root/.config' || true)
if [ "$left" -ne 0 ] || [ -n "$unexpected" ]; then
  echo "FAIL: the removal left more than the user's settings" >&2
  exit 1
fi
echo "== apt-get autoremove --purge"
in_root "${apt[@]}" autoremove --purge -y -qq > /dev/null 2>&1
echo "$(in_root dpkg-query -W | wc -l) packages now, $packages_before before the installation"
echo "PASS: installed, ran and removed cleanly"
