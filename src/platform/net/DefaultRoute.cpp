#include "platform/net/DefaultRoute.h"

#include "platform/linux/Sysroot.h"

#include <QList>

#include <limits>

namespace {
constexpr quint32 RouteUp = 0x1;
} // namespace

QString DefaultRoute::primaryInterfaceInRouteTable(const QByteArray& table)
{
    // Iface Destination Gateway Flags RefCnt Use Metric Mask ...; hexadecimal
    // destination, mask and flags; the first line names the columns.
    QString best;
    quint64 bestMetric = std::numeric_limits<quint64>::max();
    const QList<QByteArray> lines = table.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> columns = lines[i].simplified().split(' ');
        if (columns.size() < 8)
            continue;
        bool ok = true;
        const quint32 destination = columns[1].toUInt(&ok, 16);
        bool flagsOk = true;
        const quint32 flags = columns[3].toUInt(&flagsOk, 16);
        bool metricOk = true;
        const quint64 metric = columns[6].toULongLong(&metricOk);
        bool maskOk = true;
        const quint32 mask = columns[7].toUInt(&maskOk, 16);
        if (!ok || !flagsOk || !metricOk || !maskOk || destination != 0 || mask != 0 || !(flags & RouteUp))
            continue;
        if (metric < bestMetric) {
            bestMetric = metric;
            best = QString::fromLocal8Bit(columns[0]);
        }
    }
    return best;
}

QString DefaultRoute::primaryInterface(const QString& sysroot)
{
    const std::optional<QByteArray> table = Sysroot(sysroot).read(QStringLiteral("proc/net/route"));
    return table ? primaryInterfaceInRouteTable(*table) : QString();
}
