#include "platform/registry/MountTable.h"

#include <QByteArray>
#include <QList>

namespace {

quint64 deviceKey(quint32 major, quint32 minor)
{
    return (quint64(major) << 32) | minor;
}

QString lastComponent(const QByteArray& path)
{
    if (!path.startsWith('/'))
        return {};
    return QString::fromUtf8(path.mid(path.lastIndexOf('/') + 1));
}

} // namespace

MountTable MountTable::parse(QByteArrayView mountInfo, QByteArrayView swaps)
{
    MountTable table;
    // id parent major:minor root mount-point options [optional...] - type source super-options
    for (const QByteArray& line : mountInfo.toByteArray().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 10)
            continue;
        const QList<QByteArray> numbers = fields.at(2).split(':');
        if (numbers.size() == 2)
            table.m_devices.insert(deviceKey(numbers.at(0).toUInt(), numbers.at(1).toUInt()));
        const qsizetype separator = fields.indexOf("-", 6);
        if (separator > 0 && separator + 2 < fields.size())
            table.m_sourceNames.insert(lastComponent(fields.at(separator + 2)));
    }
    // Filename Type Size Used Priority; swap files are not devices.
    for (const QByteArray& line : swaps.toByteArray().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 2 && fields.at(1) == "partition")
            table.m_sourceNames.insert(lastComponent(fields.at(0)));
    }
    table.m_sourceNames.remove(QString());
    return table;
}

bool MountTable::uses(quint32 major, quint32 minor, const QStringList& names) const
{
    if (m_devices.contains(deviceKey(major, minor)))
        return true;
    for (const QString& name : names) {
        if (m_sourceNames.contains(name))
            return true;
    }
    return false;
}
