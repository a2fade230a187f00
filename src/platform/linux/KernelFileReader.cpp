#include "platform/linux/KernelFileReader.h"

#include "platform/linux/RegularFile.h"

KernelFileReader::KernelFileReader(std::string path)
    : m_path(std::move(path))
{
}

std::optional<std::string_view> KernelFileReader::read()
{
    std::size_t size = 0;
    if (RegularFile::read(m_path.c_str(), MaximumFileSize, m_buffer, size) != RegularFile::Failure::None)
        return std::nullopt;
    return std::string_view(m_buffer.data(), size);
}
