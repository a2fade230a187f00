#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <optional>
#include <sys/types.h>
#include <vector>

class FileDescriptor;

// Reads files that a broken or hostile setup may have replaced with a FIFO
// (an open would wait for a writer forever), a device (/dev/zero never ends)
// or something huge: the open never blocks, only regular files are read (the
// kernel's /proc and /sys files are regular files too) and reading stops at
// a limit the caller names.
class RegularFile {
public:
    enum class Failure { None, Missing, NotRegular, TooLarge, Unreadable };

    // Which file was read, so that it can be told apart from one that has
    // since replaced it under the same name.
    struct Identity {
        quint64 device = 0;
        quint64 inode = 0;
        bool operator==(const Identity&) const = default;
    };

    // The whole file into `buffer`, whose first `size` bytes are then valid;
    // the buffer keeps its capacity for the next read.
    static Failure read(const char* path, std::size_t limit, std::vector<char>& buffer, std::size_t& size,
        Identity* identity = nullptr);
    // The opening half of read(): the descriptor holds the open file when
    // it is a regular file within the limit.
    static Failure open(const char* path, std::size_t limit, FileDescriptor& descriptor, Identity* identity = nullptr);
    // The reading half: the whole of an open file from its start, whatever
    // was read from it before.
    static Failure readFrom(int fd, std::size_t limit, std::vector<char>& buffer, std::size_t& size);
    // A small file kept open, read from its start into the buffer: its
    // length, or -1 when it cannot be read or is empty. A removed device's
    // file in /sys fails to read by itself; a removed ordinary file (a saved
    // tree's) still reads, so unless the file is the kernel's, one without
    // links counts as gone too.
    static ssize_t readKeptFromStart(int fd, char* buffer, std::size_t size, bool generatedByTheKernel);
    // Whether the open file is one the kernel writes anew for every read
    // from its start (a file of /proc or /sys), so that it may be kept open.
    static bool isGeneratedByTheKernel(int fd);
    // The same as bytes; none on failure, with the reason in `failure`.
    static std::optional<QByteArray> read(const QString& path, std::size_t limit, Failure* failure = nullptr,
        Identity* identity = nullptr);
    // The file the path leads to now, links followed as by read; none when
    // it leads nowhere.
    static std::optional<Identity> identityOf(const QString& path);

    // "is not a regular file", … for messages about the file.
    static QString describe(Failure failure, std::size_t limit);
};
