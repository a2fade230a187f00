#pragma once

#include "platform/statusbar/PrivateSessionBus.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>
#include <vector>

// A real StatusNotifierItem host for the end-to-end tests: its programs run
// in a home folder of their own on a private session bus. While it lives,
// programs started by the test use that bus, even before the host starts.
class TrayHost {
public:
    virtual ~TrayHost();
    TrayHost(const TrayHost&) = delete;
    TrayHost& operator=(const TrayHost&) = delete;

    // True once the host has taken the watcher's name on the bus.
    bool waitUntilReady(int timeoutMs = 15000);
    // The items registered with the host's watcher ("<bus name><object path>").
    QStringList registeredItems() const;
    // A property of an object on the bus; invalid when it cannot be read.
    QVariant property(const QString& service, const QString& path, const QString& interface, const QString& name) const;
    // What the host's programs printed so far.
    QString errorOutput();
    // Ends the host's programs, as a panel that quits; the bus stays.
    void stop();

protected:
    TrayHost();
    // A path under the host's home folder.
    QString homePath(const QString& relative) const;
    // Starts one of the host's programs; it ends with the host.
    void launch(const QString& program, const QStringList& arguments, const QProcessEnvironment& extra = {});

private:
    QTemporaryDir m_home;
    PrivateSessionBus m_bus;
    std::vector<std::unique_ptr<QProcess>> m_programs;
    QByteArray m_previousAddress;
    QString m_output;
};

