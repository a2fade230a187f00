#pragma once

#include <QImage>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include "VistrelProcess.h"

#include <memory>
#include <vector>

// A headless sway session for the end-to-end tests, with a session bus of
// its own and a virtual pointer. Sway refuses to run as root, so under root
// the compositor and its bus run as the unprivileged user "nobody"; the
// programs a test starts stay the test's user and reach them all the same.
class SwaySession {
public:
    // With `swaybar`, sway runs its bar along the top with a tray.
    explicit SwaySession(bool swaybar);
    ~SwaySession();
    SwaySession(const SwaySession&) = delete;
    SwaySession& operator=(const SwaySession&) = delete;

    // Empty when the session runs; otherwise why it could not start.
    QString failure() const { return m_failure; }
    // What a Wayland client of the session needs (and no X display).
    QProcessEnvironment clientEnvironment() const;
    // The whole output, as grim sees it.
    QImage screenshot() const;
    bool swaymsg(const QStringList& arguments, QByteArray* output = nullptr) const;
    bool click(int x, int y) const;
    // Sway's tree of outputs, workspaces and windows.
    QJsonObject tree() const;
    // The tiled or floating windows whose app_id matches, anywhere in the tree.
    std::vector<QJsonObject> windows(const QString& appIdPattern) const;
    QString output();
    // Runs Vistrel as the session's user, as a tray host that reads its
    // icon files needs: they live in Vistrel's private runtime folder.
    static VistrelProcess::Launcher asSessionUser();
    // Why the session's user cannot run the program (a checkout in a home
    // folder closed to others); empty when it can.
    static QString sessionUserCannotRun(const QString& program);

private:
    QString start(bool swaybar);
    QString path(const QString& name) const { return m_runtime.filePath(name); }
    std::unique_ptr<QProcess> launch(const QString& program, const QStringList& arguments, bool asSessionUser);

    QTemporaryDir m_runtime;
    std::unique_ptr<QProcess> m_bus;
    std::unique_ptr<QProcess> m_sway;
    std::unique_ptr<QProcess> m_pointer;
    QString m_busAddress;
    QString m_waylandSocket;
    QString m_swaySocket;
    QString m_failure;
    QString m_output;
};
