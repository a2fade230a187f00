#pragma once

#include "platform/linux/Sysroot.h"
#include "platform/mounts/MountInfo.h"

#include <QObject>
#include <QSocketNotifier>
#include <QStringList>

#include <memory>
#include <vector>

class FileDescriptor;

// The mounted file systems, followed live: the kernel marks
// /proc/self/mountinfo with POLLPRI whenever a mount is added, removed or
// changed, so the table is read again only then, on the main loop.
class MountMonitor : public QObject {
    Q_OBJECT
public:
    explicit MountMonitor(const Sysroot& sysroot = Sysroot());
    ~MountMonitor() override;

    // The one of the process, over VISTREL_SYSROOT or "/".
    static MountMonitor& shared();

    const Sysroot& sysroot() const { return m_sysroot; }
    const std::vector<MountEntry>& mounts() const { return m_mounts; }
    // True while the kernel tells us of changes (a fixture tree cannot).
    bool isWatching() const { return m_notifier != nullptr; }

    // Reads the table again and reports what changed.
    void refresh();

Q_SIGNALS:
    // Mount points that appeared and that went away since the last read.
    void mountsChanged(const QStringList& mounted, const QStringList& unmounted);

private:
    Sysroot m_sysroot;
    std::vector<MountEntry> m_mounts;
    std::unique_ptr<FileDescriptor> m_file;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
