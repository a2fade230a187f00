#include "platform/linux/KernelIdentity.h"

#include <QRegularExpression>

#include <sys/utsname.h>

#include <algorithm>

KernelIdentity::KernelIdentity(QString release, QString version)
    : m_release(std::move(release))
    , m_version(std::move(version))
{
}

KernelIdentity KernelIdentity::running()
{
    utsname name {};
    if (uname(&name) != 0)
        return KernelIdentity({}, {});
    return KernelIdentity(QString::fromUtf8(name.release), QString::fromUtf8(name.version));
}

std::optional<OperatingSystemVersion> KernelIdentity::operatingSystemVersion() const
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d+)\\.(\\d+)(?:\\.(\\d+))?"));
    const QRegularExpressionMatch match = pattern.match(m_release);
    if (!match.hasMatch())
        return std::nullopt;
    OperatingSystemVersion version;
    bool majorOK = false;
    bool minorOK = false;
    bool patchOK = true;
    version.majorVersion = match.capturedView(1).toUInt(&majorOK);
    version.minorVersion = match.capturedView(2).toUInt(&minorOK);
    if (match.hasCaptured(3))
        version.patchVersion = match.capturedView(3).toUInt(&patchOK);
    if (!majorOK || !minorOK || !patchOK)
        return std::nullopt;
    return version;
}

std::optional<QString> KernelIdentity::buildString() const
{
    QStringView word = QStringView(m_version).trimmed();
    const auto end = std::find_if(word.begin(), word.end(), [](QChar c) { return c.isSpace(); });
    word = word.first(end - word.begin());
    if (word.startsWith(u'#'))
        word = word.mid(1);
    if (word.isEmpty())
        return std::nullopt;
    return word.toString();
}

OperatingSystemVersion KernelIdentity::releaseForVersionCode(const OperatingSystemVersion& kernel)
{
    constexpr quint32 hexadecimalDigit = 15;
    return {kernel.majorVersion + 10, std::min(kernel.minorVersion, hexadecimalDigit),
        std::min(kernel.patchVersion, hexadecimalDigit)};
}
