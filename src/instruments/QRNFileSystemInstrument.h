#pragma once

#include "instruments/QRNHotPluggableInstrument.h"

#include <QDateTime>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class MountMonitor;
class SpaceQuery;
struct VolumeSpace;

// Free and total space of the volume that holds one path. Space changes
// slowly and asking can wake a sleeping disk, so it samples at most once a
// minute, and not while the user has been idle longer than the disks' sleep
// time. The statvfs runs off the main thread: a volume that does not answer
// within the time-out counts as offline, and comes back when it answers.
class QRNFileSystemInstrument : public QRNHotPluggableInstrument {
public:
    using Clock = std::function<QDateTime()>;
    static constexpr std::chrono::milliseconds DefaultTimeout{3000};

    explicit QRNFileSystemInstrument(MountMonitor& mounts);
    ~QRNFileSystemInstrument() override;

    // Minutes after which the system lets idle disks sleep; 0 for never or
    // unknown. Linux keeps no system-wide disk sleep timer (standby times are
    // set per drive and cannot be read back), so it is 0 here.
    static quint32 hardDriveSleepInterval();
    // True when a sample now would wake disks that are due to be asleep.
    // A sleep interval of 180 minutes is not taken as a reason to skip.
    static bool isIdleBeyondDiskSleep(quint64 idleNanoseconds, quint32 sleepMinutes);

    // Stores the path and samples at once.
    void setFileSystemPath(const QString& path);
    const QString& fileSystemPath() const { return m_fileSystemPath; }

    void collectNewSample() override;

    const QString& displayName() const { return m_displayName; }
    quint64 freeSpace() const { return m_freeSpace; }
    quint64 totalSpace() const { return m_totalSpace; }
    // Linux reports no capacities after purging, so these stay 0.
    quint64 freeSpaceForOpportunisticUse() const { return m_freeSpaceForOpportunisticUse; }
    quint64 freeSpaceForImportantUse() const { return m_freeSpaceForImportantUse; }
    const std::optional<QDateTime>& timeOfLastSample() const { return m_timeOfLastSample; }

    // Tests drive the minute rule and the time-out through these.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    // The user's idle time in nanoseconds; 0 when unknown.
    void setIdleTimeSource(std::function<quint64()> source) { m_idleTime = std::move(source); }
    void setHardDriveSleepInterval(quint32 minutes) { m_sleepMinutes = minutes; }
    // Where the space comes from; statvfs unless set.
    void setSpaceReader(std::function<std::optional<VolumeSpace>(const QString&)> reader) { m_spaceReader = std::move(reader); }

    QString description() const override;
    QString className() const override { return QStringLiteral("QRNFileSystemInstrument"); }

protected:
    // Back online: a sample at once, whatever the minute rule says.
    void processHotPlugChange() override;

private:
    void startQuery(const QDateTime& now);
    // Takes the finished query's answer.
    void finishQuery(const QDateTime& now);
    void takeFigures(const VolumeSpace& space, const QDateTime& now);
    void goOffline(const QDateTime& now);

    MountMonitor& m_mounts;
    QString m_fileSystemPath;
    QString m_displayName;
    quint64 m_freeSpace = 0;
    quint64 m_totalSpace = 0;
    quint64 m_freeSpaceForOpportunisticUse = 0;
    quint64 m_freeSpaceForImportantUse = 0;
    std::optional<QDateTime> m_timeOfLastSample;

    // The mount point of the volume while the path was last seen on it: when
    // another mount holds the path, the volume has gone (an unmounted mount
    // point on Linux is an ordinary folder of the volume beneath).
    QString m_volumeMountPoint;
    std::shared_ptr<SpaceQuery> m_query;
    QString m_queryMountPoint;
    bool m_timedOut = false;

    Clock m_clock;
    std::chrono::milliseconds m_timeout = DefaultTimeout;
    std::function<quint64()> m_idleTime;
    quint32 m_sleepMinutes;
    std::function<std::optional<VolumeSpace>(const QString&)> m_spaceReader;
};
