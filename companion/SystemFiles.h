#pragma once

#include <optional>
#include <string>
#include <vector>

// Reads kernel text files below a root folder ("/" on a real machine, a
// fixture tree in tests), so the same code runs on saved machines.
class SystemFiles {
public:
    // An empty root means VISTREL_SYSROOT, or "/" when that is unset.
    explicit SystemFiles(std::string root = {});

    const std::string& root() const { return m_root; }
    std::string path(const std::string& relative) const { return m_root + relative; }

    // The file's text without trailing white space; none when it cannot be
    // read (a missing sensor, a file only root may read) or is not a
    // regular file. Reads at most 1 MiB.
    std::optional<std::string> text(const std::string& relative) const;
    // The file's first token as a signed decimal number.
    std::optional<long long> number(const std::string& relative) const;
    // Entry names of a folder, sorted; empty when it cannot be listed.
    std::vector<std::string> entries(const std::string& relative) const;
    // Where a link leads, with every link on the way followed; empty when it
    // leads nowhere.
    std::string resolved(const std::string& relative) const;
    // Whether the file exists but cannot be read (refused to this user).
    bool isUnreadable(const std::string& relative) const;

private:
    std::string m_root;
};
