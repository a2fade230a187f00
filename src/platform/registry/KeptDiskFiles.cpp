#include "platform/registry/KeptDiskFiles.h"

#include "platform/linux/RegularFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>

namespace {

int openForReading(const std::string& path)
{
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

} // namespace

KeptDiskFiles::KeptDiskFiles(const Sysroot& sysroot)
    : m_sysroot(sysroot)
{
}

KeptDiskFiles::~KeptDiskFiles()
{
    for (Files& files : m_files)
        close(files);
}

void KeptDiskFiles::close(Files& files)
{
    if (files.stat >= 0)
        ::close(files.stat);
    if (files.identity >= 0)
        ::close(files.identity);
    files = Files{};
}

bool KeptDiskFiles::open(const QString& disk, Files& files) const
{
    const QString base = QStringLiteral("sys/block/") + disk;
    files.stat = openForReading(m_sysroot.filePath(base + QStringLiteral("/stat")));
    files.identity = openForReading(m_sysroot.filePath(base + QStringLiteral("/diskseq")));
    if (files.identity < 0)
        files.identity = openForReading(m_sysroot.filePath(base + QStringLiteral("/dev")));
    files.generatedByTheKernel = files.stat >= 0 && RegularFile::isGeneratedByTheKernel(files.stat);
    return files.stat >= 0 && files.identity >= 0;
}

KeptDiskFiles::Identity KeptDiskFiles::compareIdentity(const Files& files, const QString& identity)
{
    std::array<char, 64> buffer{};
    const ssize_t length = RegularFile::readKeptFromStart(files.identity, buffer.data(), buffer.size(), files.generatedByTheKernel);
    if (length < 0)
        return Identity::Unreadable;
    const QByteArrayView text = QByteArrayView(buffer.data(), length).trimmed();
    // Identities are short ASCII ("17", "8:0"); compare without making a QString.
    if (text.size() != identity.size())
        return Identity::Other;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (identity.at(i) != QLatin1Char(text.at(i)))
            return Identity::Other;
    }
    return Identity::Same;
}

std::optional<DiskStatistics> KeptDiskFiles::statistics(const QString& disk, const QString& identity)
{
    if (disk.isEmpty() || identity.isEmpty())
        return std::nullopt;
    std::array<char, 512> buffer{};
    for (int attempt = 0; attempt < 2; ++attempt) {
        Files& files = m_files[disk];
        if (files.stat < 0 && !open(disk, files)) {
            close(files);
            m_files.remove(disk);
            return std::nullopt;
        }
        const Identity found = compareIdentity(files, identity);
        // Another disk has the name now; its files stay open for its own entries.
        if (found == Identity::Other)
            return std::nullopt;
        const ssize_t length = found == Identity::Same ? RegularFile::readKeptFromStart(files.stat, buffer.data(), buffer.size(), files.generatedByTheKernel)
                                                   : -1;
        if (length > 0)
            return BlockStatistics::parse(QByteArrayView(buffer.data(), length));
        // Stale descriptors of a disk that went away: one more try on fresh
        // ones, which fails or finds the disk that has the name now.
        close(files);
    }
    return std::nullopt;
}
