#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <vector>

class Sysroot;

// One line of /proc/self/mountinfo.
struct MountEntry {
    int mountID = 0;
    int parentID = 0;
    quint32 major = 0;
    quint32 minor = 0;
    // The folder of the file system that is mounted here ("/" unless a bind
    // mount of a subfolder).
    QString root;
    QString mountPoint;
    QString mountOptions;
    QString fileSystemType;
    QString source;
    QString superOptions;

    bool isReadOnly() const;
};

// The kernel's table of mounts. Paths in it escape blank, tab, newline and
// backslash as three octal digits ("\040").
class MountInfo {
public:
    // Malformed lines are skipped.
    static std::vector<MountEntry> parse(QByteArrayView text);
    // <sysroot>/proc/self/mountinfo; empty when unreadable. A process whose
    // root lies inside a mount it cannot see (a chroot) finds no mount on "/"
    // there; a stand-in for it is added, since "/" is always there to measure.
    static std::vector<MountEntry> read(const Sysroot& sysroot);
    // The table with a stand-in for "/" when no line mounts it; the device
    // numbers are those of the root folder.
    static std::vector<MountEntry> withRoot(std::vector<MountEntry> mounts, quint32 major, quint32 minor);
    static QString decoded(QByteArrayView field);

    // The mount that holds the absolute path: the deepest mount point above
    // it, and of several mounts on the same point the last (the one on top).
    // The path is taken as written, without following links, since looking
    // at a hanging network mount would block. Null for a relative path.
    static const MountEntry* containing(const std::vector<MountEntry>& mounts, const QString& path);

    // The mount points that /etc/fstab names (fields escaped as in
    // mountinfo; comments, swap and "none" left out).
    static QStringList parseFileSystemTable(QByteArrayView text);
    static QStringList fileSystemTableMountPoints(const Sysroot& sysroot);

    // The mount points of the mounts of one table that the other lacks, in
    // table order; swap the arguments for those that went away.
    static QStringList mountPointsAdded(const std::vector<MountEntry>& before, const std::vector<MountEntry>& after);
};
