#include "platform/registry/DiskStatistics.h"

namespace {

const QString BytesRead = QStringLiteral("Bytes (Read)");
const QString BytesWritten = QStringLiteral("Bytes (Write)");
const QString OperationsRead = QStringLiteral("Operations (Read)");
const QString OperationsWritten = QStringLiteral("Operations (Write)");
const QString TimeReading = QStringLiteral("Total Time (Read)");
const QString TimeWriting = QStringLiteral("Total Time (Write)");

} // namespace

DiskStatistics DiskStatistics::fromDictionary(const QVariantMap& statistics)
{
    const auto number = [&](const QString& key) { return statistics.value(key).toULongLong(); };
    return {number(BytesRead), number(BytesWritten), number(OperationsRead), number(OperationsWritten),
        number(TimeReading), number(TimeWriting)};
}

QVariantMap DiskStatistics::dictionary() const
{
    return {
        {BytesRead, readBytes},
        {BytesWritten, writtenBytes},
        {OperationsRead, readOperations},
        {OperationsWritten, writeOperations},
        {TimeReading, readNanoseconds},
        {TimeWriting, writeNanoseconds},
    };
}
