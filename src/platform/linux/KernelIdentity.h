#pragma once

#include "platform/linux/OperatingSystemVersion.h"

#include <QString>
#include <QStringView>

#include <optional>

// What uname(2) reports about the running kernel, and the operating-system
// facts taken from it: the release ("uname -r") gives the version triple,
// the version ("uname -v") the build string. Tests construct one from saved
// texts instead of asking the kernel.
class KernelIdentity {
public:
    KernelIdentity(QString release, QString version);
    // The running kernel; empty texts when uname(2) fails.
    static KernelIdentity running();

    const QString& release() const { return m_release; }
    const QString& version() const { return m_version; }

    // "6.1.0-27-amd64" -> 6, 1, 0; "4.19.0+" -> 4, 19, 0; "6.8" -> 6, 8, 0.
    // None unless the release starts with "major.minor".
    std::optional<OperatingSystemVersion> operatingSystemVersion() const;

    // The first word of the version without its "#": the kernel's build
    // number and whatever the distribution appended to it
    // ("#36~22.04.1-Ubuntu SMP ..." -> "36~22.04.1-Ubuntu"). Whether it
    // reads as a build code is up to the caller. None for an empty version.
    std::optional<QString> buildString() const;

    // Version codes pack a release in the numbering of the desktop system
    // whose releases the version-dependent choices name (10.8 = 0x1080 ...
    // 11.0 = 0x1100 and later) into four hexadecimal digits. Kernel N.m.p
    // therefore counts as release 10+N with minor and patch capped at 15, so
    // each still fills one hexadecimal digit: 6.1.0 -> 16.1.0 (0x1610),
    // 5.15.0 -> 15.15.0 (0x15F0), 4.19.0 -> 14.15.0 (0x14F0), 6.18.44 ->
    // 16.15.15 (0x16FF). Every kernel thus sorts after all the releases those
    // choices name, so Linux always gets the present-day behaviour, and a
    // later kernel never sorts before an earlier one. Kernels up to 89 fit
    // the four digits.
    static OperatingSystemVersion releaseForVersionCode(const OperatingSystemVersion& kernel);

private:
    QString m_release;
    QString m_version;
};
