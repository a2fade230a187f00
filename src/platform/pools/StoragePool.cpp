#include "platform/pools/StoragePool.h"

#include <algorithm>

const PoolVolume* StoragePool::volume(const QString& volumeKey) const
{
    const auto found = std::find_if(volumes.begin(), volumes.end(), [&](const PoolVolume& v) { return v.key == volumeKey; });
    return found == volumes.end() ? nullptr : &*found;
}

bool StoragePool::isMounted() const
{
    return std::any_of(volumes.begin(), volumes.end(), [](const PoolVolume& v) { return !v.mountPoints.isEmpty(); });
}
