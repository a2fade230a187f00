#include "platform/linux/ProcessTable.h"

#include <QDir>
#include <QFile>

namespace {
std::optional<QByteArray> fileContents(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

// The field-th number (0 = first) of a status line's value ("Uid:\t0\t1000\t...").
std::optional<qint64> numberInLine(QByteArrayView line, qsizetype field)
{
    const QList<QByteArray> values = line.toByteArray().simplified().split(' ');
    if (field >= values.size())
        return std::nullopt;
    bool ok = false;
    const qint64 value = values[field].toLongLong(&ok);
    return ok ? std::optional(value) : std::nullopt;
}
} // namespace

ProcessTable::ProcessTable(const QString& sysroot)
    : m_sysroot(sysroot)
{
}

std::optional<std::vector<ProcessRecord>> ProcessTable::processes() const
{
    const QDir proc(m_sysroot.path(QStringLiteral("proc")));
    if (!proc.exists() || !proc.isReadable())
        return std::nullopt;
    std::vector<ProcessRecord> records;
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted)) {
        bool numeric = false;
        const qint32 processID = entry.toInt(&numeric);
        if (!numeric || processID < 1)
            continue;
        if (std::optional<ProcessRecord> record = read(proc.filePath(entry), processID))
            records.push_back(std::move(*record));
    }
    return records;
}

std::optional<ProcessRecord> ProcessTable::process(qint32 processID) const
{
    if (processID < 1)
        return std::nullopt;
    return read(m_sysroot.path(QStringLiteral("proc/%1").arg(processID)), processID);
}

std::optional<ProcessRecord> ProcessTable::read(const QString& processFolder, qint32 processID) const
{
    const std::optional<QByteArray> status = fileContents(processFolder + QStringLiteral("/status"));
    if (!status)
        return std::nullopt;
    const std::optional<Status> parsed = parseStatus(*status);
    if (!parsed || parsed->threadGroupID != processID)
        return std::nullopt;
    std::optional<QByteArray> name = fileContents(processFolder + QStringLiteral("/comm"));
    if (!name)
        return std::nullopt;
    if (name->endsWith('\n'))
        name->chop(1);
    return ProcessRecord {processID, *name, parsed->effectiveUserID};
}

std::optional<ProcessTable::Status> ProcessTable::parseStatus(QByteArrayView status)
{
    std::optional<qint64> threadGroupID;
    std::optional<qint64> effectiveUserID;
    for (const QByteArray& line : status.toByteArray().split('\n')) {
        if (line.startsWith("Tgid:"))
            threadGroupID = numberInLine(line.sliced(5), 0);
        else if (line.startsWith("Uid:"))
            effectiveUserID = numberInLine(line.sliced(4), 1);
    }
    if (!threadGroupID || !effectiveUserID || *threadGroupID < 1 || *threadGroupID > INT32_MAX || *effectiveUserID < 0
        || *effectiveUserID > UINT32_MAX)
        return std::nullopt;
    return Status {qint32(*threadGroupID), quint32(*effectiveUserID)};
}
