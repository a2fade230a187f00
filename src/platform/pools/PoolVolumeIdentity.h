#pragma once

#include <QString>
#include <QUuid>

// The UUIDs by which pools and their volumes are known. btrfs gives its top
// subvolume no UUID and LVM writes its own 32-letter identifiers, so both are
// turned into name-based UUIDs: the same pool and key always give the same
// UUID, whoever computes it.
namespace PoolVolumeIdentity {
QUuid poolUUID(const QString& kind, const QString& poolKey);
QUuid volumeUUID(const QUuid& pool, const QString& volumeKey);
}
