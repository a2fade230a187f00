#pragma once

#include <QString>

#include <string>

// The root under which every /proc and /sys path is read. Tests point it at
// a fixture tree so the real parsers run on saved machines.
class Sysroot {
public:
    // An empty root means VISTREL_SYSROOT, or "/" when that is unset.
    explicit Sysroot(const QString& root = {});

    const QString& root() const { return m_root; }

    // "proc/stat" -> "<root>/proc/stat".
    QString path(const QString& relative) const;
    // The same path, encoded for the C file functions.
    std::string filePath(const QString& relative) const;

private:
    QString m_root;
};
