#include "platform/registry/BlockStatistics.h"

#include <QByteArray>
#include <QList>

namespace {

constexpr quint64 SectorBytes = 512;
constexpr quint64 NanosecondsPerMillisecond = 1000000;

} // namespace

std::optional<BlockStatistics> BlockStatistics::parse(QByteArrayView text)
{
    const QList<QByteArray> fields = text.toByteArray().simplified().split(' ');
    if (fields.size() < 8)
        return std::nullopt;
    quint64 values[8];
    for (int i = 0; i < 8; ++i) {
        bool ok = false;
        values[i] = fields.at(i).toULongLong(&ok);
        if (!ok)
            return std::nullopt;
    }
    BlockStatistics statistics;
    statistics.readOperations = values[0];
    statistics.readSectors = values[2];
    statistics.readMilliseconds = values[3];
    statistics.writeOperations = values[4];
    statistics.writeSectors = values[6];
    statistics.writeMilliseconds = values[7];
    return statistics;
}

QVariantMap BlockStatistics::dictionary() const
{
    return {
        {QStringLiteral("Bytes (Read)"), readSectors * SectorBytes},
        {QStringLiteral("Bytes (Write)"), writeSectors * SectorBytes},
        {QStringLiteral("Operations (Read)"), readOperations},
        {QStringLiteral("Operations (Write)"), writeOperations},
        {QStringLiteral("Total Time (Read)"), readMilliseconds * NanosecondsPerMillisecond},
        {QStringLiteral("Total Time (Write)"), writeMilliseconds * NanosecondsPerMillisecond},
    };
}
