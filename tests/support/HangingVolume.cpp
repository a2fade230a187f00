#include "support/HangingVolume.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

bool isMountPoint(const QString& path)
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray escaped = QFile::encodeName(path).replace(" ", "\\040");
    return table.readAll().contains(" " + escaped + " ");
}

} // namespace

HangingVolume::HangingVolume()
{
    if (geteuid() != 0 || !QFile::exists(QStringLiteral("/dev/fuse")))
        return;
    if (unshare(CLONE_NEWNS) == 0)
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
    QDir(m_folder.path()).mkpath(QStringLiteral("remote"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HANGFS_CONTROL"), controlPath());
    m_daemon.setProcessEnvironment(environment);
    m_daemon.setProcessChannelMode(QProcess::ForwardedChannels);
    m_daemon.start(QStringLiteral(VISTREL_HANGFS), {mountPoint(), QStringLiteral("-f"), QStringLiteral("-s")});
    if (!m_daemon.waitForStarted())
        return;
    QDeadlineTimer deadline(5000);
    while (!(m_ready = isMountPoint(mountPoint())) && !deadline.hasExpired())
        QThread::msleep(20);
}

HangingVolume::~HangingVolume()
{
    answer();
    m_daemon.terminate();
    m_daemon.waitForFinished(5000);
    umount2(QFile::encodeName(mountPoint()).constData(), MNT_DETACH);
}

void HangingVolume::hang()
{
    QFile control(controlPath());
    control.open(QIODevice::WriteOnly);
}

void HangingVolume::answer()
{
    QFile::remove(controlPath());
}
