#include "platform/mounts/MountInfo.h"

#include "platform/linux/Sysroot.h"

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QSet>

#include <algorithm>

#include <sys/stat.h>
#include <sys/sysmacros.h>

bool MountEntry::isReadOnly() const
{
    return mountOptions.split(u',').contains(QStringLiteral("ro"));
}

QString MountInfo::decoded(QByteArrayView field)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const auto isOctal = [&](qsizetype at) { return at < field.size() && field[at] >= '0' && field[at] <= '7'; };
        if (field[i] == '\\' && isOctal(i + 1) && isOctal(i + 2) && isOctal(i + 3)) {
            bytes.append(char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0')));
            i += 3;
        } else {
            bytes.append(field[i]);
        }
    }
    return QString::fromUtf8(bytes);
}

std::vector<MountEntry> MountInfo::parse(QByteArrayView text)
{
    std::vector<MountEntry> mounts;
    // id parent major:minor root mount-point options [optional fields...] - type source super-options
    for (const QByteArray& line : text.toByteArray().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype separator = fields.indexOf("-", 6);
        if (separator < 0 || separator + 2 >= fields.size())
            continue;
        const QList<QByteArray> numbers = fields.at(2).split(':');
        bool idOK = false, parentOK = false, majorOK = false, minorOK = false;
        MountEntry entry;
        entry.mountID = fields.at(0).toInt(&idOK);
        entry.parentID = fields.at(1).toInt(&parentOK);
        if (numbers.size() == 2) {
            entry.major = numbers.at(0).toUInt(&majorOK);
            entry.minor = numbers.at(1).toUInt(&minorOK);
        }
        if (!idOK || !parentOK || !majorOK || !minorOK || !fields.at(4).startsWith('/'))
            continue;
        entry.root = decoded(fields.at(3));
        entry.mountPoint = decoded(fields.at(4));
        entry.mountOptions = QString::fromUtf8(fields.at(5));
        entry.fileSystemType = decoded(fields.at(separator + 1));
        entry.source = decoded(fields.at(separator + 2));
        if (separator + 3 < fields.size())
            entry.superOptions = QString::fromUtf8(fields.at(separator + 3));
        mounts.push_back(std::move(entry));
    }
    return mounts;
}

std::vector<MountEntry> MountInfo::read(const Sysroot& sysroot)
{
    const std::optional<QByteArray> text = sysroot.read(QStringLiteral("proc/self/mountinfo"));
    if (!text)
        return {};
    struct stat root {};
    const bool known = ::stat(sysroot.filePath(QString()).c_str(), &root) == 0;
    return withRoot(parse(*text), known ? major(root.st_dev) : 0, known ? minor(root.st_dev) : 0);
}

std::vector<MountEntry> MountInfo::withRoot(std::vector<MountEntry> mounts, quint32 major, quint32 minor)
{
    const bool rootMounted = std::any_of(mounts.begin(), mounts.end(), [](const MountEntry& m) { return m.mountPoint == QLatin1String("/"); });
    if (mounts.empty() || rootMounted)
        return mounts;
    MountEntry root;
    root.major = major;
    root.minor = minor;
    root.root = root.mountPoint = QStringLiteral("/");
    mounts.insert(mounts.begin(), std::move(root));
    return mounts;
}

QStringList MountInfo::parseFileSystemTable(QByteArrayView text)
{
    QStringList points;
    for (const QByteArray& line : text.toByteArray().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 2 || fields.at(0).startsWith('#') || !fields.at(1).startsWith('/'))
            continue;
        points.append(QDir::cleanPath(decoded(fields.at(1))));
    }
    return points;
}

QStringList MountInfo::fileSystemTableMountPoints(const Sysroot& sysroot)
{
    const std::optional<QByteArray> text = sysroot.read(QStringLiteral("etc/fstab"));
    return text ? parseFileSystemTable(*text) : QStringList();
}

const MountEntry* MountInfo::containing(const std::vector<MountEntry>& mounts, const QString& path)
{
    if (!path.startsWith(u'/'))
        return nullptr;
    const QString clean = QDir::cleanPath(path);
    const MountEntry* best = nullptr;
    for (const MountEntry& mount : mounts) {
        const QString& point = mount.mountPoint;
        const bool holds = point == QLatin1String("/") || clean == point || clean.startsWith(point + u'/');
        if (holds && (!best || point.size() >= best->mountPoint.size()))
            best = &mount;
    }
    return best;
}

QStringList MountInfo::mountPointsAdded(const std::vector<MountEntry>& before, const std::vector<MountEntry>& after)
{
    // By mount ID: a volume unmounted and mounted again between two reads
    // comes back under a new ID, at the same point.
    QSet<int> known;
    for (const MountEntry& mount : before)
        known.insert(mount.mountID);
    QStringList added;
    for (const MountEntry& mount : after) {
        if (!known.contains(mount.mountID) && !added.contains(mount.mountPoint))
            added.append(mount.mountPoint);
    }
    return added;
}
