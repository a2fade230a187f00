#include "platform/linux/KernelFileReader.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Enough for /proc/stat of a small machine; larger files double it once.
constexpr std::size_t InitialBufferSize = 16 * 1024;

}

KernelFileReader::KernelFileReader(std::string path)
    : m_path(std::move(path))
    , m_buffer(InitialBufferSize)
{
}

std::optional<std::string_view> KernelFileReader::read()
{
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::size_t used = 0;
    for (;;) {
        // Kernel files have no size to ask for; keep room so that the read
        // that reports the end always has space to do so.
        if (used == m_buffer.size())
            m_buffer.resize(m_buffer.size() * 2);
        const ssize_t n = ::read(fd, m_buffer.data() + used, m_buffer.size() - used);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return std::nullopt;
        }
        used += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return std::string_view(m_buffer.data(), used);
}
