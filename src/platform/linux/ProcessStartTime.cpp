#include "platform/linux/ProcessStartTime.h"

#include "platform/linux/RegularFile.h"

#include <QList>

#include <time.h>

#include <unistd.h>

std::optional<quint64> ProcessStartTime::startTicks(QByteArrayView statLine)
{
    // The name (field 2) may hold spaces and parentheses: count from the last ")".
    const qsizetype close = statLine.lastIndexOf(')');
    if (close < 0)
        return std::nullopt;
    const QList<QByteArray> fields = statLine.sliced(close + 1).toByteArray().simplified().split(' ');
    constexpr qsizetype StartTimeIndex = 22 - 3;  // fields after the name begin with field 3
    if (fields.size() <= StartTimeIndex)
        return std::nullopt;
    bool ok = false;
    const quint64 ticks = fields[StartTimeIndex].toULongLong(&ok);
    return ok ? std::optional<quint64>(ticks) : std::nullopt;
}

std::optional<QDateTime> ProcessStartTime::of(qint64 processID)
{
    const std::optional<QByteArray> stat = RegularFile::read(QStringLiteral("/proc/%1/stat").arg(processID), 4096);
    const std::optional<quint64> ticks = stat ? startTicks(*stat) : std::nullopt;
    if (!ticks)
        return std::nullopt;
    // The two clocks read back to back, so that a busy machine delaying this
    // thread cannot shift the result (as reading /proc/uptime could).
    timespec sinceBoot {}, now {};
    if (::clock_gettime(CLOCK_BOOTTIME, &sinceBoot) != 0 || ::clock_gettime(CLOCK_REALTIME, &now) != 0)
        return std::nullopt;
    const double bootSeconds = double(sinceBoot.tv_sec) + double(sinceBoot.tv_nsec) / 1e9;
    // The end of the tick in which it started, so never before the true
    // start: a file made just before the start is never taken as newer.
    const double secondsSinceStart = bootSeconds - double(*ticks + 1) / double(::sysconf(_SC_CLK_TCK));
    const qint64 nowMilliseconds = qint64(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
    return QDateTime::fromMSecsSinceEpoch(nowMilliseconds - qint64(secondsSinceStart * 1000), Qt::UTC);
}
