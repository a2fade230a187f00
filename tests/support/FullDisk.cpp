#include "support/FullDisk.h"

#include <QFile>

#include <csignal>
#include <sched.h>
#include <sys/mount.h>

FullDisk::FullDisk()
{
    const QByteArray folder = QFile::encodeName(m_folder.path());
    const QByteArray options = "size=" + QByteArray::number(Capacity);
    // Private mounts, so that nothing of the test's shows outside it.
    m_mounted = unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
        && mount("vistrel-test", folder.constData(), "tmpfs", 0, options.constData()) == 0;
    if (m_mounted)
        return;
    getrlimit(RLIMIT_FSIZE, &m_previousLimit);
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_previousLimit;
    limit.rlim_cur = Capacity;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FullDisk::~FullDisk()
{
    if (m_mounted) {
        umount2(QFile::encodeName(m_folder.path()).constData(), MNT_DETACH);
        return;
    }
    setrlimit(RLIMIT_FSIZE, &m_previousLimit);
    std::signal(SIGXFSZ, m_previousHandler);
}
