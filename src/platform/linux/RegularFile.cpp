#include "platform/linux/RegularFile.h"

#include "platform/linux/FileDescriptor.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

// Kernel files report no size; start small and grow.
constexpr std::size_t InitialBufferSize = 16 * 1024;

RegularFile::Identity identityFrom(const struct stat& status)
{
    return {static_cast<quint64>(status.st_dev), static_cast<quint64>(status.st_ino)};
}

}

RegularFile::Failure RegularFile::read(const char* path, std::size_t limit, std::vector<char>& buffer,
    std::size_t& size, Identity* identity)
{
    size = 0;
    FileDescriptor fd(-1);
    const Failure opened = open(path, limit, fd, identity);
    return opened == Failure::None ? readFrom(fd.get(), limit, buffer, size) : opened;
}

RegularFile::Failure RegularFile::open(const char* path, std::size_t limit, FileDescriptor& descriptor, Identity* identity)
{
    // Non-blocking, so that opening a FIFO returns at once instead of
    // waiting for a writer; for regular files the flag changes nothing.
    FileDescriptor fd(::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0)
        return errno == ENOENT || errno == ENOTDIR ? Failure::Missing : Failure::Unreadable;
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0)
        return Failure::Unreadable;
    if (identity)
        *identity = identityFrom(status);
    if (!S_ISREG(status.st_mode))
        return Failure::NotRegular;
    if (static_cast<quint64>(status.st_size) > limit)
        return Failure::TooLarge;
    descriptor.reset(fd.release());
    return Failure::None;
}

RegularFile::Failure RegularFile::readFrom(int fd, std::size_t limit, std::vector<char>& buffer, std::size_t& size)
{
    size = 0;
    if (buffer.size() < InitialBufferSize)
        buffer.resize(InitialBufferSize);
    for (;;) {
        // Keep room, so that the read that reports the end has space to do
        // so; one byte beyond the limit tells a file that is too long.
        if (size == buffer.size())
            buffer.resize(std::min(buffer.size() * 2, limit + 1));
        const ssize_t n = ::pread(fd, buffer.data() + size, buffer.size() - size, off_t(size));
        if (n == 0)
            return Failure::None;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Failure::Unreadable;
        }
        size += static_cast<std::size_t>(n);
        if (size > limit)
            return Failure::TooLarge;
    }
}

ssize_t RegularFile::readKeptFromStart(int fd, char* buffer, std::size_t size, bool generatedByTheKernel)
{
    struct stat status {};
    if (fd < 0 || (!generatedByTheKernel && (::fstat(fd, &status) != 0 || status.st_nlink == 0)))
        return -1;
    const ssize_t length = ::pread(fd, buffer, size, 0);
    return length > 0 ? length : -1;
}

bool RegularFile::isGeneratedByTheKernel(int fd)
{
    struct statfs fileSystem {};
    return ::fstatfs(fd, &fileSystem) == 0
        && (fileSystem.f_type == PROC_SUPER_MAGIC || fileSystem.f_type == SYSFS_MAGIC);
}

std::optional<QByteArray> RegularFile::read(const QString& path, std::size_t limit, Failure* failure,
    Identity* identity)
{
    std::vector<char> buffer;
    std::size_t size = 0;
    const Failure result = read(QFile::encodeName(path).constData(), limit, buffer, size, identity);
    if (failure)
        *failure = result;
    if (result != Failure::None)
        return std::nullopt;
    return QByteArray(buffer.data(), static_cast<qsizetype>(size));
}

std::optional<RegularFile::Identity> RegularFile::identityOf(const QString& path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return identityFrom(status);
}

QString RegularFile::describe(Failure failure, std::size_t limit)
{
    switch (failure) {
    case Failure::None: return QStringLiteral("was read");
    case Failure::Missing: return QStringLiteral("does not exist");
    case Failure::NotRegular: return QStringLiteral("is not a regular file");
    case Failure::TooLarge: return QStringLiteral("is larger than %1 bytes").arg(limit);
    case Failure::Unreadable: return QStringLiteral("could not be read");
    }
    return {};
}
