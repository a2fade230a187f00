#pragma once

#include <QDir>
#include <QString>

// The per-user runtime folder of the XDG base directories ($XDG_RUNTIME_DIR),
// where the tray's icon pictures go. A login session provides it; a plain
// container, a cron job or "su" may not, and Qt would then make one itself
// with a warning on every start.
class RuntimeDirectory {
public:
    // When XDG_RUNTIME_DIR is unset or empty: makes a private folder (mode
    // 0700, owned by this user) in the base folder, sets the variable to it
    // and says so at info level. Answers the folder in use; empty when none
    // could be made (Qt then falls back as before).
    static QString ensure(const QString& baseFolder = QDir::tempPath());
};
