#include "platform/linux/ProcessTable.h"

#include <QFile>

#include <array>
#include <cerrno>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {
// The whole of a small /proc file. Plain system calls: the listing reads one
// file per process, and QFile costs several times as much per open.
std::optional<QByteArray> fileContents(const QString& path)
{
    const int descriptor = open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return std::nullopt;
    QByteArray contents;
    std::array<char, 4096> buffer;
    ssize_t count = 0;
    while ((count = read(descriptor, buffer.data(), buffer.size())) > 0 || (count < 0 && errno == EINTR)) {
        if (count > 0)
            contents.append(buffer.data(), count);
    }
    close(descriptor);
    if (count < 0)
        return std::nullopt;
    return contents;
}

std::optional<QByteArray> commandName(const QString& processFolder)
{
    std::optional<QByteArray> name = fileContents(processFolder + QStringLiteral("/comm"));
    if (name && name->endsWith('\n'))
        name->chop(1);
    return name;
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

std::optional<std::vector<ProcessName>> ProcessTable::processes() const
{
    const QString proc = m_sysroot.path(QStringLiteral("proc/"));
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(opendir(QFile::encodeName(proc).constData()), closedir);
    if (!folder)
        return std::nullopt;
    std::vector<ProcessName> processes;
    while (const dirent* entry = readdir(folder.get())) {
        bool numeric = false;
        const qint32 processID = QByteArrayView(entry->d_name).toInt(&numeric);
        if (!numeric || processID < 1)
            continue;
        if (std::optional<QByteArray> name = commandName(proc + QLatin1String(entry->d_name)))
            processes.push_back({processID, std::move(*name)});
    }
    return processes;
}

std::optional<ProcessRecord> ProcessTable::process(qint32 processID) const
{
    if (processID < 1)
        return std::nullopt;
    const QString folder = m_sysroot.path(QStringLiteral("proc/%1").arg(processID));
    const std::optional<QByteArray> status = fileContents(folder + QStringLiteral("/status"));
    const std::optional<Status> parsed = status ? parseStatus(*status) : std::nullopt;
    // /proc answers to thread identifiers too; only a thread group's leader is a process.
    if (!parsed || parsed->threadGroupID != processID)
        return std::nullopt;
    std::optional<QByteArray> name = commandName(folder);
    if (!name)
        return std::nullopt;
    return ProcessRecord {{processID, std::move(*name)}, parsed->effectiveUserID};
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
