#include "instruments/QRNFileSystemInstrument.h"

#include "platform/mounts/MountMonitor.h"
#include "platform/mounts/SpaceQuery.h"
#include "platform/mounts/VolumeNames.h"

#include <QCoreApplication>
#include <QDir>

namespace {
// A local volume answers in microseconds; only a slow one is left to finish
// on a later tick.
constexpr std::chrono::milliseconds PromptAnswer{50};
constexpr qint64 MinimumSampleSpacingMs = 60 * 1000;
constexpr quint32 IgnoredSleepMinutes = 180;
} // namespace

QRNFileSystemInstrument::QRNFileSystemInstrument(MountMonitor& mounts)
    : m_mounts(mounts)
    , m_clock([] { return QDateTime::currentDateTimeUtc(); })
    , m_sleepMinutes(hardDriveSleepInterval())
{
}

QRNFileSystemInstrument::~QRNFileSystemInstrument() = default;

quint32 QRNFileSystemInstrument::hardDriveSleepInterval()
{
    return 0;
}

bool QRNFileSystemInstrument::isIdleBeyondDiskSleep(quint64 idleNanoseconds, quint32 sleepMinutes)
{
    if (idleNanoseconds == 0 || sleepMinutes == 0 || sleepMinutes == IgnoredSleepMinutes)
        return false;
    return idleNanoseconds / 1000000000ULL > quint64(sleepMinutes) * 60;
}

void QRNFileSystemInstrument::setFileSystemPath(const QString& path)
{
    m_fileSystemPath = path;
    collectNewSample();
}

void QRNFileSystemInstrument::collectNewSample()
{
    const QDateTime now = m_clock();
    if (m_query) {
        if (m_query->isFinished()) {
            finishQuery(now);
        } else if (!isOffline() && m_query->elapsed() >= m_timeout) {
            // The query stays: its late answer brings the volume back.
            m_timedOut = true;
            goOffline(now);
        }
        return;
    }
    if (isOffline() || m_fileSystemPath.isEmpty())
        return;
    if (m_timeOfLastSample && now < m_timeOfLastSample->addMSecs(MinimumSampleSpacingMs))
        return;
    if (isIdleBeyondDiskSleep(m_idleTime ? m_idleTime() : 0, m_sleepMinutes))
        return;
    startQuery(now);
}

void QRNFileSystemInstrument::startQuery(const QDateTime& now)
{
    const MountEntry* mount = MountInfo::containing(m_mounts.mounts(), m_fileSystemPath);
    // A shallower mount than before means the volume went away; a deeper one
    // was mounted onto the path since. Before the volume was ever seen, a
    // mount point of /etc/fstab with nothing mounted on it is a volume that
    // is not there, not a folder of the one beneath.
    const QString path = QDir::cleanPath(m_fileSystemPath);
    if (!mount || mount->mountPoint.size() < m_volumeMountPoint.size()
        || (m_volumeMountPoint.isEmpty() && mount->mountPoint != path
            && MountInfo::fileSystemTableMountPoints(m_mounts.sysroot()).contains(path))) {
        goOffline(now);
        return;
    }
    m_queryMountPoint = mount->mountPoint;
    m_query = SpaceQuery::start(m_fileSystemPath, m_spaceReader);
    if (m_query->waitFor(PromptAnswer))
        finishQuery(now);
}

void QRNFileSystemInstrument::finishQuery(const QDateTime& now)
{
    const std::optional<VolumeSpace> space = m_query->result();
    m_query.reset();
    if (!space || space->totalSpace == 0) {
        m_timedOut = false;
        goOffline(now);
        return;
    }
    if (m_timedOut) {
        // Answering again: back online, which samples afresh.
        m_timedOut = false;
        setIsOffline(false);
        return;
    }
    // Unmounted while the answer was on its way: the figures are of a volume that is gone.
    if (isOffline())
        return;
    m_volumeMountPoint = m_queryMountPoint;
    takeFigures(*space, now);
}

void QRNFileSystemInstrument::takeFigures(const VolumeSpace& space, const QDateTime& now)
{
    const MountEntry* mount = MountInfo::containing(m_mounts.mounts(), m_fileSystemPath);
    m_displayName = mount ? VolumeNames::nameOf(m_mounts.sysroot(), *mount) : VolumeNames::lastComponent(m_fileSystemPath);
    m_freeSpace = space.availableSpace;
    m_totalSpace = space.totalSpace;
    m_freeSpaceForOpportunisticUse = 0;
    m_freeSpaceForImportantUse = 0;
    m_timeOfLastSample = now;
}

void QRNFileSystemInstrument::goOffline(const QDateTime& now)
{
    m_timeOfLastSample = now;
    setIsOffline(true);
}

void QRNFileSystemInstrument::processHotPlugChange()
{
    QRNHotPluggableInstrument::processHotPlugChange();
    if (isOffline()) {
        // Also when the owner saw the unmount first: no figures of a volume that is gone.
        m_displayName = VolumeNames::lastComponent(m_fileSystemPath) + u' '
            + QCoreApplication::translate("QRNFileSystemInstrument", "-offline-");
        m_freeSpace = m_totalSpace = m_freeSpaceForOpportunisticUse = m_freeSpaceForImportantUse = 0;
        return;
    }
    m_timeOfLastSample.reset();
    collectNewSample();
}

QString QRNFileSystemInstrument::description() const
{
    return QRNHotPluggableInstrument::description()
        + QStringLiteral("For path '%1' (%2): free %3, total %4, free after purge %5, free after strong purge %6\n")
              .arg(m_fileSystemPath, m_displayName)
              .arg(m_freeSpace)
              .arg(m_totalSpace)
              .arg(m_freeSpaceForOpportunisticUse)
              .arg(m_freeSpaceForImportantUse);
}
