#include "platform/registry/BlockStatistics.h"

#include "platform/linux/DecimalFields.h"

#include <array>

namespace {

constexpr quint64 SectorBytes = 512;
constexpr quint64 NanosecondsPerMillisecond = 1000000;

} // namespace

std::optional<DiskStatistics> BlockStatistics::parse(QByteArrayView text)
{
    std::array<quint64, 8> values {};
    if (!DecimalFields::readLeading(std::string_view(text.data(), std::size_t(text.size())), values))
        return std::nullopt;
    // Fields 1, 3, 4, 5, 7 and 8: operations, sectors and milliseconds each way.
    return DiskStatistics{values[2] * SectorBytes, values[6] * SectorBytes, values[0], values[4],
        values[3] * NanosecondsPerMillisecond, values[7] * NanosecondsPerMillisecond};
}
