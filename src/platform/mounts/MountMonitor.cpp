#include "platform/mounts/MountMonitor.h"

#include "platform/linux/FileDescriptor.h"
#include "platform/log/Log.h"

#include <cerrno>
#include <fcntl.h>

namespace {
constexpr char ClassName[] = "MountMonitor";
} // namespace

MountMonitor::MountMonitor(const Sysroot& sysroot)
    : m_sysroot(sysroot)
    , m_mounts(MountInfo::read(m_sysroot))
{
    const int fd = ::open(m_sysroot.filePath(QStringLiteral("proc/self/mountinfo")).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        // A fixture tree may have no mount table; the kernel always has one.
        if (errno == ENOENT)
            Log::info("%{public}@: no mount table under '%{public}@'.", {QLatin1String(ClassName), m_sysroot.root()});
        else
            Log::fault("%{public}@: cannot follow mount changes: %{errno}d.", {QLatin1String(ClassName), errno});
        return;
    }
    m_file = std::make_unique<FileDescriptor>(fd);
    // Only the kernel's own file raises POLLPRI; a plain file of a fixture
    // tree never does, which is harmless.
    m_notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Exception);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &MountMonitor::refresh);
}

MountMonitor::~MountMonitor() = default;

MountMonitor& MountMonitor::shared()
{
    // Kept to the end of the process: its notifier must not outlive the
    // event loop's teardown in a static destructor.
    static MountMonitor* const monitor = new MountMonitor;
    return *monitor;
}

void MountMonitor::refresh()
{
    std::vector<MountEntry> mounts = MountInfo::read(m_sysroot);
    const QStringList mounted = MountInfo::mountPointsAdded(m_mounts, mounts);
    const QStringList unmounted = MountInfo::mountPointsAdded(mounts, m_mounts);
    m_mounts = std::move(mounts);
    if (!mounted.isEmpty() || !unmounted.isEmpty())
        Q_EMIT mountsChanged(mounted, unmounted);
}
