#pragma once

#include "platform/linux/FileDescriptor.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reads a whole kernel text file (/proc, /sys) into a buffer it keeps, so
// repeated reads of the same file allocate nothing once the buffer has grown
// to the file's size. A file of /proc or /sys is kept open: the kernel writes
// it anew for every read from its start, so a sampling tick reads it without
// looking up its path again. Other files (a saved sample under a test's root)
// may be replaced by a new file under the same name and are opened each time.
class KernelFileReader {
public:
    // Far above any kernel text file (/proc/stat of 1024 processors is about
    // 200 KB), small enough that a path leading to /dev/zero costs little.
    static constexpr std::size_t MaximumFileSize = 64 * 1024 * 1024;

    explicit KernelFileReader(std::string path);

    // The file's bytes, valid until the next read; none when the file cannot
    // be opened or read, is not a regular file or is over the maximum size.
    std::optional<std::string_view> read();

private:
    std::string m_path;
    std::vector<char> m_buffer;
    FileDescriptor m_kept {-1};
};
