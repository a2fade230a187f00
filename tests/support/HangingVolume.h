#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A FUSE file system (vistrel_hangfs) mounted in a temporary folder whose
// statfs stops answering on demand, the way a network volume hangs when its
// server is gone. Needs root and /dev/fuse; ready tells whether it is mounted.
// The mount lives in a mount namespace of the test's own where it can.
class HangingVolume {
public:
    HangingVolume();
    ~HangingVolume();
    HangingVolume(const HangingVolume&) = delete;
    HangingVolume& operator=(const HangingVolume&) = delete;

    void hang();
    void answer();
    QString mountPoint() const { return m_folder.filePath(QStringLiteral("remote")); }
    bool isReady() const { return m_ready; }

    // What its statfs answers.
    static constexpr quint64 BlockSize = 4096;
    static constexpr quint64 Blocks = 1000;
    static constexpr quint64 AvailableBlocks = 300;

private:
    QString controlPath() const { return m_folder.filePath(QStringLiteral("hang")); }

    QTemporaryDir m_folder;
    QProcess m_daemon;
    bool m_ready = false;
};
