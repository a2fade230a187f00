#include "SystemFiles.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr std::size_t MaximumFileSize = 1024 * 1024;
}

SystemFiles::SystemFiles(std::string root)
    : m_root(std::move(root))
{
    if (m_root.empty()) {
        const char* fromEnvironment = std::getenv("VISTREL_SYSROOT");
        m_root = fromEnvironment && *fromEnvironment ? fromEnvironment : "/";
    }
    if (m_root.back() != '/')
        m_root.push_back('/');
}

std::optional<std::string> SystemFiles::text(const std::string& relative) const
{
    const int fd = ::open(path(relative).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string content;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (count == 0 || content.size() + std::size_t(count) > MaximumFileSize)
            break;
        content.append(buffer, std::size_t(count));
    }
    ::close(fd);
    while (!content.empty() && (content.back() == '\n' || content.back() == ' ' || content.back() == '\t'))
        content.pop_back();
    return content;
}

std::optional<long long> SystemFiles::number(const std::string& relative) const
{
    const std::optional<std::string> content = text(relative);
    if (!content || content->empty())
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(content->c_str(), &end, 10);
    if (errno != 0 || end == content->c_str())
        return std::nullopt;
    return value;
}

std::vector<std::string> SystemFiles::entries(const std::string& relative) const
{
    std::vector<std::string> names;
    DIR* folder = ::opendir(path(relative).c_str());
    if (!folder)
        return names;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(folder);
    std::sort(names.begin(), names.end());
    return names;
}

bool SystemFiles::isUnreadable(const std::string& relative) const
{
    struct stat status {};
    return ::lstat(path(relative).c_str(), &status) == 0 && !text(relative);
}

std::string SystemFiles::resolved(const std::string& relative) const
{
    char target[PATH_MAX];
    return ::realpath(path(relative).c_str(), target) ? std::string(target) : std::string();
}
