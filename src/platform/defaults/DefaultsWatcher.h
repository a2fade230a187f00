#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

class UserDefaults;

// Notices when another program (a script, a second instance, the user with
// an editor) changes the settings files, reloads them and tells which keys
// changed. Our own writes leave nothing changed and so report nothing.
class DefaultsWatcher : public QObject {
    Q_OBJECT
public:
    explicit DefaultsWatcher(UserDefaults& defaults, QObject* parent = nullptr);

Q_SIGNALS:
    void keysChanged(const QStringList& keys);

private:
    void watch();
    void reload();

    UserDefaults& m_defaults;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
};
