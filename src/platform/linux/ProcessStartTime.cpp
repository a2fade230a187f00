#include "platform/linux/ProcessStartTime.h"

#include "platform/linux/RegularFile.h"

#include <QList>

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
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const std::optional<QByteArray> stat = RegularFile::read(QStringLiteral("/proc/%1/stat").arg(processID), 4096);
    const std::optional<QByteArray> uptime = RegularFile::read(QStringLiteral("/proc/uptime"), 4096);
    if (!stat || !uptime)
        return std::nullopt;
    const std::optional<quint64> ticks = startTicks(*stat);
    bool ok = false;
    const double secondsSinceBoot = uptime->split(' ').value(0).toDouble(&ok);
    if (!ticks || !ok)
        return std::nullopt;
    const double secondsSinceStart = secondsSinceBoot - double(*ticks) / double(::sysconf(_SC_CLK_TCK));
    return now.addMSecs(-qint64(secondsSinceStart * 1000));
}
