#pragma once

#include <QString>
#include <QTemporaryDir>

#include <sys/resource.h>

// A folder in which no file can grow past a few kilobytes, the way a full
// disk refuses writes. Where the test may mount (root, as in the build
// container) it is a tmpfs of that size in a mount namespace of the test's
// own, and writes fail with ENOSPC; elsewhere the process's file size limit
// (RLIMIT_FSIZE, SIGXFSZ ignored) makes them fail with EFBIG.
class FullDisk {
public:
    static constexpr int Capacity = 8 * 1024;

    FullDisk();
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    QString path() const { return m_folder.path(); }
    // "tmpfs" or "RLIMIT_FSIZE", for the test's output.
    QString kind() const { return m_mounted ? QStringLiteral("tmpfs") : QStringLiteral("RLIMIT_FSIZE"); }

private:
    QTemporaryDir m_folder;
    bool m_mounted = false;
    rlimit m_previousLimit{};
    void (*m_previousHandler)(int) = nullptr;
};
