#include "platform/linux/KernelFileReader.h"

#include "platform/linux/RegularFile.h"

KernelFileReader::KernelFileReader(std::string path)
    : m_path(std::move(path))
{
}

std::optional<std::string_view> KernelFileReader::read()
{
    std::size_t size = 0;
    if (m_kept.get() >= 0) {
        if (RegularFile::readFrom(m_kept.get(), MaximumFileSize, m_buffer, size) == RegularFile::Failure::None)
            return std::string_view(m_buffer.data(), size);
        // A file that failed once is looked up afresh.
        m_kept.reset();
    }
    FileDescriptor fd(-1);
    if (RegularFile::open(m_path.c_str(), MaximumFileSize, fd) != RegularFile::Failure::None
        || RegularFile::readFrom(fd.get(), MaximumFileSize, m_buffer, size) != RegularFile::Failure::None)
        return std::nullopt;
    if (RegularFile::isGeneratedByTheKernel(fd.get()))
        m_kept.reset(fd.release());
    return std::string_view(m_buffer.data(), size);
}
