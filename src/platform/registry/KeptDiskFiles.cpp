#include "platform/registry/KeptDiskFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>

namespace {

// Reads the whole (small) file from its start into buffer; the length, or -1.
// A removed regular file (fixture trees) still reads, so a file without
// links counts as gone as well.
ssize_t readFromStart(int fd, char* buffer, size_t size)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0 || status.st_nlink == 0)
        return -1;
    const ssize_t length = ::pread(fd, buffer, size, 0);
    return length > 0 ? length : -1;
}

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
    return files.stat >= 0 && files.identity >= 0;
}

KeptDiskFiles::Identity KeptDiskFiles::compareIdentity(int fd, const QString& identity)
{
    std::array<char, 64> buffer{};
    const ssize_t length = readFromStart(fd, buffer.data(), buffer.size());
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

std::optional<BlockStatistics> KeptDiskFiles::statistics(const QString& disk, const QString& identity)
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
        const Identity found = compareIdentity(files.identity, identity);
        // Another disk has the name now; its files stay open for its own entries.
        if (found == Identity::Other)
            return std::nullopt;
        const ssize_t length = found == Identity::Same ? readFromStart(files.stat, buffer.data(), buffer.size()) : -1;
        if (length > 0)
            return BlockStatistics::parse(QByteArrayView(buffer.data(), length));
        // Stale descriptors of a disk that went away: one more try on fresh
        // ones, which fails or finds the disk that has the name now.
        close(files);
    }
    return std::nullopt;
}
