#include "platform/defaults/DefaultsWatcher.h"

#include "platform/defaults/UserDefaults.h"

#include <QDir>
#include <QFileInfo>

DefaultsWatcher::DefaultsWatcher(UserDefaults& defaults, QObject* parent)
    : QObject(parent)
    , m_defaults(defaults)
{
    // Writers replace files by renaming; wait for a burst of changes to end.
    m_settle.setSingleShot(true);
    m_settle.setInterval(150);
    connect(&m_settle, &QTimer::timeout, this, &DefaultsWatcher::reload);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle, qOverload<>(&QTimer::start));
    watch();
}

void DefaultsWatcher::watch()
{
    for (UserDefaults::Domain domain : {UserDefaults::Domain::Host, UserDefaults::Domain::Standard}) {
        const QString path = m_defaults.filePath(domain);
        if (path.isEmpty())
            continue;
        const QString folder = QFileInfo(path).absolutePath();
        QDir().mkpath(folder);
        if (!m_watcher.directories().contains(folder))
            m_watcher.addPath(folder);
        if (QFileInfo::exists(path) && !m_watcher.files().contains(path))
            m_watcher.addPath(path);
    }
}

void DefaultsWatcher::reload()
{
    watch();
    const QStringList changed = m_defaults.reload();
    if (!changed.isEmpty())
        Q_EMIT keysChanged(changed);
}
