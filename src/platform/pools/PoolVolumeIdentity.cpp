#include "platform/pools/PoolVolumeIdentity.h"

namespace {
// A fixed name space for the pool UUIDs made here.
const QUuid PoolNameSpace = QUuid::fromString(QLatin1String("{9b3c53a4-2f0e-4d63-a7e5-7c1f0d6e8b21}"));
} // namespace

namespace PoolVolumeIdentity {

QUuid poolUUID(const QString& kind, const QString& poolKey)
{
    // A btrfs has a UUID of its own; keep it, so the pool reads as blkid shows it.
    const QUuid own = QUuid::fromString(poolKey);
    if (!own.isNull())
        return own;
    return QUuid::createUuidV5(PoolNameSpace, kind + u':' + poolKey);
}

QUuid volumeUUID(const QUuid& pool, const QString& volumeKey)
{
    return QUuid::createUuidV5(pool, volumeKey);
}

} // namespace PoolVolumeIdentity
