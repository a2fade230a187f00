#pragma once

#include "platform/statusbar/PrivateSessionBus.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

// A real StatusNotifierItem host for the end-to-end tests: xfce4-panel with
// one panel that holds only the system tray, 70 pixels tall along the top of
// the screen, on a private session bus with its own settings daemon. While it
// lives, programs started by the test use that bus.
class XfceTray {
public:
    static constexpr int PanelHeight = 70;

    XfceTray();
    ~XfceTray();

    // True once the panel has taken the watcher's name on the bus.
    bool waitUntilReady(int timeoutMs = 15000);
    // The items registered with the panel's watcher ("<bus name><object path>").
    QStringList registeredItems() const;
    // A property of an object on the bus; invalid when it cannot be read.
    QVariant property(const QString& service, const QString& path, const QString& interface, const QString& name) const;
    QString errorOutput();

private:
    QTemporaryDir m_home;
    PrivateSessionBus m_bus;
    QProcess m_settings;
    QProcess m_panel;
    QByteArray m_previousAddress;
};
