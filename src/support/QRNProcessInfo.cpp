#include "support/QRNProcessInfo.h"

#include "platform/log/Log.h"

namespace {
const QString className = QStringLiteral("QRNProcessInfo");

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The run of ASCII digits at the position, as a number; moves past it.
std::optional<qint64> scanInteger(QStringView text, qsizetype& position)
{
    const qsizetype start = position;
    while (position < text.size() && isDigit(text[position]))
        ++position;
    bool ok = false;
    const qint64 value = text.sliced(start, position - start).toLongLong(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

QByteArray shortCommandName(const QByteArray& name)
{
    return name.left(ProcessTable::commandNameLength);
}
} // namespace

QRNProcessInfo::QRNProcessInfo(const QString& sysroot, KernelIdentity kernel)
    : m_kernel(std::move(kernel))
    , m_release(sysroot)
    , m_processTable(sysroot)
{
}

QRNProcessInfo& QRNProcessInfo::processInfo()
{
    static QRNProcessInfo shared;
    return shared;
}

quint32 QRNProcessInfo::operatingSystemVersionCode() const
{
    if (m_operatingSystemVersionCode == versionCodeNotComputed) {
        if (const std::optional<OperatingSystemVersion> kernel = m_kernel.operatingSystemVersion())
            m_operatingSystemVersionCode = versionCodeForVersion(KernelIdentity::releaseForVersionCode(*kernel));
        else
            Log::error("%{public}@: could not read the kernel release '%{public}@'.", {className, m_kernel.release()});
    }
    return m_operatingSystemVersionCode;
}

QString QRNProcessInfo::operatingSystemMarketingName() const
{
    return marketingNameForVersionCode(operatingSystemVersionCode(), m_release.prettyName());
}

std::optional<QList<qint32>> QRNProcessInfo::identifiersForRunningProcessesNamed(const QString& name) const
{
    if (name.isEmpty())
        return std::nullopt;
    const std::optional<std::vector<ProcessName>> processes = m_processTable.processes();
    if (!processes)
        return std::nullopt;
    const QByteArray wanted = shortCommandName(name.toUtf8());
    QList<qint32> identifiers;
    for (const ProcessName& process : *processes) {
        if (shortCommandName(process.commandName) == wanted)
            identifiers.append(process.processID);
    }
    return identifiers;
}

bool QRNProcessInfo::isProcessRunningWithName(const QString& name) const
{
    const std::optional<QList<qint32>> identifiers = identifiersForRunningProcessesNamed(name);
    return identifiers && !identifiers->isEmpty();
}

std::optional<QString> QRNProcessInfo::processNameForProcessID(qint32 processID, quint32* effectiveUserID) const
{
    const std::optional<ProcessRecord> process = m_processTable.process(processID);
    if (!process)
        return std::nullopt;
    if (effectiveUserID)
        *effectiveUserID = process->effectiveUserID;
    return QString::fromUtf8(process->commandName);
}

bool QRNProcessInfo::getFromBuildCode(const QString& buildCode, qint64* darwinVersion, QChar* branch, qint64* sequence,
    QString* variant)
{
    if (buildCode.size() < 3)
        return false;
    qsizetype position = 0;
    const std::optional<qint64> darwin = scanInteger(buildCode, position);
    // The branch is everything up to the next digit, and must be one character.
    const qsizetype branchPosition = position;
    while (position < buildCode.size() && !isDigit(buildCode[position]))
        ++position;
    if (!darwin || position - branchPosition != 1)
        return false;
    const std::optional<qint64> number = scanInteger(buildCode, position);
    if (!number)
        return false;
    if (darwinVersion)
        *darwinVersion = *darwin;
    if (branch)
        *branch = buildCode[branchPosition];
    if (sequence)
        *sequence = *number;
    if (variant)
        *variant = buildCode.sliced(position);
    return true;
}

bool QRNProcessInfo::isBuildAtLeastVersion(const QString& buildCode) const
{
    const std::optional<QString> running = m_kernel.buildString();
    return running && isBuildCodeAtLeast(*running, buildCode);
}

quint32 QRNProcessInfo::versionCodeForVersion(const OperatingSystemVersion& version)
{
    return (version.majorVersion / 10) * 4096 + (version.majorVersion % 10) * 256 + version.minorVersion * 16
        + version.patchVersion;
}

QString QRNProcessInfo::marketingNameForVersionCode(quint32 versionCode, const QString& presentDayName)
{
    if (versionCode < 0x1080)
        return QStringLiteral("Mac OS X");
    if (versionCode < 0x10C0)
        return QStringLiteral("OS X");
    return presentDayName;
}

bool QRNProcessInfo::isBuildCodeAtLeast(const QString& runningBuildCode, const QString& buildCode)
{
    qint64 runningDarwin = 0;
    qint64 darwin = 0;
    QChar runningBranch;
    QChar branch;
    qint64 runningSequence = 0;
    qint64 sequence = 0;
    if (!getFromBuildCode(runningBuildCode, &runningDarwin, &runningBranch, &runningSequence)
        || !getFromBuildCode(buildCode, &darwin, &branch, &sequence))
        return false;
    if (runningDarwin != darwin)
        return runningDarwin > darwin;
    if (runningBranch != branch)
        return runningBranch > branch;
    return runningSequence >= sequence;
}
