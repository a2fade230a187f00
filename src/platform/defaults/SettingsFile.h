#pragma once

#include "platform/linux/RegularFile.h"

#include <QString>
#include <QVariantMap>

// One settings file on disk: read only when it is a regular file of sane
// size and shape, written atomically, and when unreadable moved aside by
// what was read, not by name, so that a good file that replaced it in the
// meantime stays in place.
class SettingsFile {
public:
    enum class State { Missing, Loaded, Unreadable };
    struct Contents {
        State state = State::Missing;
        QVariantMap values;
        // The file that was read, and why it could not be used.
        RegularFile::Identity identity;
        QString reason;
    };
    enum class Outcome { Moved, Replaced, Failed };
    struct MoveAside {
        Outcome outcome = Outcome::Failed;
        QString aside;
    };

    explicit SettingsFile(const QString& path)
        : m_path(path)
    {
    }

    Contents read() const;
    // Renames the file read as `identity` to "<name>.unreadable-<time>".
    // Replaced: the name meanwhile leads to another file, which is left
    // where it is (read it again).
    MoveAside moveAside(const RegularFile::Identity& identity) const;
    bool write(const QVariantMap& values) const;

    // Held around a read-modify-write of the folder's files, so that two
    // programs changing different keys do not undo each other's change.
    // Gives up waiting after a while rather than hang on a stuck holder.
    class Lock {
    public:
        explicit Lock(const SettingsFile& file);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        int m_folder = -1;
    };

private:
    QString m_path;
};
