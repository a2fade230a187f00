#pragma once

#include "platform/linux/Sysroot.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

// The distribution's identification from os-release(5): <root>/etc/os-release,
// or <root>/usr/lib/os-release where the former is missing.
class OperatingSystemRelease {
public:
    explicit OperatingSystemRelease(const QString& sysroot = {});

    // PRETTY_NAME ("Debian GNU/Linux 12 (bookworm)"); "Linux", the default
    // os-release(5) prescribes, when the file gives none or an empty one.
    QString prettyName() const;

    // The value of one variable of an os-release text, with the shell quoting
    // and escapes removed; none when the variable is not set.
    static std::optional<QString> valueForKey(QByteArrayView text, QByteArrayView key);

private:
    Sysroot m_sysroot;
};
