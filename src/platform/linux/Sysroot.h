#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

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

    // None when the file is missing, unreadable, not a regular file (a FIFO
    // would block, a device never end) or larger than kernel files get.
    std::optional<QByteArray> read(const QString& relative) const;
    // The file's text without surrounding white space; empty when missing.
    QString text(const QString& relative) const;
    bool exists(const QString& relative) const;
    // The names in a directory, sorted; empty when it is missing.
    QStringList entries(const QString& relative) const;
    // The path with every link followed, relative to the root ("sys/devices/..."),
    // or empty when it does not exist or leads out of the root.
    QString resolved(const QString& relative) const;

private:
    QString m_root;
};
