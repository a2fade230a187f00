#pragma once

#include <QByteArrayView>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Which block devices are in use by the system: mounted (per
// /proc/self/mountinfo) or used as swap (per /proc/swaps).
class MountTable {
public:
    static MountTable parse(QByteArrayView mountInfo, QByteArrayView swaps);

    // A device counts as used when a mount names its device number, or when a
    // mount or swap source's last path component is one of its names
    // (file systems such as btrfs report an anonymous device number, and
    // device-mapper sources are /dev/mapper/<name>).
    bool uses(quint32 major, quint32 minor, const QStringList& names) const;

private:
    QSet<quint64> m_devices;
    QSet<QString> m_sourceNames;
};
