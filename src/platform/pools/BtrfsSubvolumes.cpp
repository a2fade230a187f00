#include "platform/pools/BtrfsSubvolumes.h"

#include "platform/linux/FileDescriptor.h"

#include <QHash>

#include <algorithm>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <linux/btrfs.h>
#include <linux/btrfs_tree.h>
#include <sys/ioctl.h>

namespace {

QUuid uuidOf(const __u8* bytes)
{
    return QUuid::fromRfc4122(QByteArrayView(reinterpret_cast<const char*>(bytes), BTRFS_UUID_SIZE));
}

std::optional<FileDescriptor> openDirectory(const QString& path)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return std::nullopt;
    return std::optional<FileDescriptor>(std::in_place, fd);
}

struct Backref {
    quint64 parent = 0;
    quint64 directory = 0;
    QString name;
};

// The folder, inside subvolume tree, that holds a subvolume's entry: "a/b/",
// or empty for the tree's own top folder.
QString folderInTree(int fd, quint64 tree, quint64 directory)
{
    if (directory == BTRFS_FIRST_FREE_OBJECTID)
        return {};
    btrfs_ioctl_ino_lookup_args lookup{};
    lookup.treeid = tree;
    lookup.objectid = directory;
    if (::ioctl(fd, BTRFS_IOC_INO_LOOKUP, &lookup) != 0)
        return {};
    return QString::fromUtf8(lookup.name, qsizetype(::strnlen(lookup.name, sizeof lookup.name)));
}

QString pathOf(int fd, quint64 id, const QHash<quint64, Backref>& backrefs, int depth = 0)
{
    const auto found = backrefs.constFind(id);
    // A loop in the references cannot happen in a sound file system; the
    // depth bound keeps a damaged one from hanging us.
    if (found == backrefs.cend() || depth > 255)
        return {};
    const QString above = found->parent == BtrfsSubvolumes::TopLevelID ? QString() : pathOf(fd, found->parent, backrefs, depth + 1);
    const QString folder = folderInTree(fd, found->parent, found->directory);
    return (above.isEmpty() ? QString() : above + u'/') + folder + found->name;
}

} // namespace

std::optional<BtrfsSubvolumes::Listing> BtrfsSubvolumes::list(const QString& mountPoint)
{
    const std::optional<FileDescriptor> directory = openDirectory(mountPoint);
    if (!directory)
        return std::nullopt;
    const int fd = directory->get();

    btrfs_ioctl_search_args search{};
    btrfs_ioctl_search_key& key = search.key;
    key.tree_id = BTRFS_ROOT_TREE_OBJECTID;
    key.min_objectid = BTRFS_FS_TREE_OBJECTID;
    key.max_objectid = BTRFS_LAST_FREE_OBJECTID;
    key.min_type = BTRFS_ROOT_ITEM_KEY;
    key.max_type = BTRFS_ROOT_BACKREF_KEY;
    key.max_offset = ~0ULL;
    key.max_transid = ~0ULL;

    QHash<quint64, BtrfsSubvolume> roots;
    QHash<quint64, Backref> backrefs;
    for (;;) {
        key.nr_items = 4096;
        if (::ioctl(fd, BTRFS_IOC_TREE_SEARCH, &search) != 0) {
            if (errno == EPERM || errno == EACCES)
                return Listing{{}, true};
            return std::nullopt;
        }
        if (key.nr_items == 0)
            break;
        std::size_t at = 0;
        btrfs_ioctl_search_header header{};
        for (quint32 item = 0; item < key.nr_items; ++item) {
            if (at + sizeof header > sizeof search.buf)
                break;
            std::memcpy(&header, search.buf + at, sizeof header);
            const char* data = search.buf + at + sizeof header;
            at += sizeof header + header.len;
            if (at > sizeof search.buf)
                break;
            const bool subvolume = header.objectid == BTRFS_FS_TREE_OBJECTID || header.objectid >= BTRFS_FIRST_FREE_OBJECTID;
            if (!subvolume)
                continue;
            if (header.type == BTRFS_ROOT_ITEM_KEY) {
                BtrfsSubvolume& root = roots[header.objectid];
                root.id = header.objectid;
                // Roots written by old kernels end before the UUIDs.
                if (header.len >= offsetof(btrfs_root_item, parent_uuid) + BTRFS_UUID_SIZE) {
                    btrfs_root_item item{};
                    std::memcpy(&item, data, std::min<std::size_t>(header.len, sizeof item));
                    root.uuid = uuidOf(item.uuid);
                    root.parentUUID = uuidOf(item.parent_uuid);
                    root.readOnly = (item.flags & BTRFS_ROOT_SUBVOL_RDONLY) != 0;
                }
            } else if (header.type == BTRFS_ROOT_BACKREF_KEY && header.len >= sizeof(btrfs_root_ref)) {
                btrfs_root_ref ref{};
                std::memcpy(&ref, data, sizeof ref);
                const std::size_t nameLength = std::min<std::size_t>(ref.name_len, header.len - sizeof ref);
                backrefs.insert(header.objectid, Backref{header.offset, ref.dirid, QString::fromUtf8(data + sizeof ref, qsizetype(nameLength))});
            }
        }
        // Go on after the last key seen.
        key.min_objectid = header.objectid;
        key.min_type = header.type;
        key.min_offset = header.offset + 1;
        if (header.offset == ~0ULL) {
            key.min_offset = 0;
            if (++key.min_type > BTRFS_ROOT_BACKREF_KEY) {
                key.min_type = BTRFS_ROOT_ITEM_KEY;
                ++key.min_objectid;
            }
        }
        if (key.min_objectid > key.max_objectid)
            break;
    }

    Listing listing;
    for (auto root = roots.cbegin(); root != roots.cend(); ++root) {
        // A deleted subvolume keeps its root until it is cleaned, without a
        // reference from any folder.
        if (root.key() != TopLevelID && !backrefs.contains(root.key()))
            continue;
        BtrfsSubvolume subvolume = *root;
        subvolume.path = pathOf(fd, root.key(), backrefs);
        listing.subvolumes.push_back(subvolume);
    }
    std::sort(listing.subvolumes.begin(), listing.subvolumes.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
    return listing;
}

std::optional<BtrfsSubvolume> BtrfsSubvolumes::mounted(const QString& mountPoint)
{
    const std::optional<FileDescriptor> directory = openDirectory(mountPoint);
    if (!directory)
        return std::nullopt;
    btrfs_ioctl_get_subvol_info_args info{};
    if (::ioctl(directory->get(), BTRFS_IOC_GET_SUBVOL_INFO, &info) != 0)
        return std::nullopt;
    BtrfsSubvolume subvolume;
    subvolume.id = info.treeid;
    subvolume.uuid = uuidOf(info.uuid);
    subvolume.parentUUID = uuidOf(info.parent_uuid);
    subvolume.readOnly = (info.flags & BTRFS_SUBVOL_RDONLY) != 0;
    return subvolume;
}
