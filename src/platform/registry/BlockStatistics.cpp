#include "platform/registry/BlockStatistics.h"

#include <charconv>

namespace {

constexpr quint64 SectorBytes = 512;
constexpr quint64 NanosecondsPerMillisecond = 1000000;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

std::optional<BlockStatistics> BlockStatistics::parse(QByteArrayView text)
{
    // Read in place: the disk item parses a stat line on every tick.
    quint64 values[8];
    const char* at = text.data();
    const char* const end = at + text.size();
    for (quint64& value : values) {
        while (at < end && isSpace(*at))
            ++at;
        const auto [stop, error] = std::from_chars(at, end, value);
        if (error != std::errc() || (stop < end && !isSpace(*stop)))
            return std::nullopt;
        at = stop;
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

DiskStatistics BlockStatistics::diskStatistics() const
{
    return {readSectors * SectorBytes, writeSectors * SectorBytes, readOperations, writeOperations,
        readMilliseconds * NanosecondsPerMillisecond, writeMilliseconds * NanosecondsPerMillisecond};
}
