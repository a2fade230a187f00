#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reads a whole kernel text file (/proc, /sys) with open/read/close into a
// buffer it keeps, so repeated reads of the same file allocate nothing once
// the buffer has grown to the file's size.
class KernelFileReader {
public:
    explicit KernelFileReader(std::string path);

    // The file's bytes, valid until the next read; none when the file cannot
    // be opened or read.
    std::optional<std::string_view> read();

private:
    std::string m_path;
    std::vector<char> m_buffer;
};
