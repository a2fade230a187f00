#pragma once

#include "extension/CompanionProcess.h"
#include "extension/RunLoopWait.h"
#include "extension/VistrelPlusSession.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/notifications/NotificationCenter.h"
#include "settings/SettingNames.h"
#include "support/EventLog.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <signal.h>


inline bool waitFor(const std::function<bool()>& condition, double seconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > seconds * 1000)
            return false;
        runRunLoopForSeconds(0.05);
    }
    return true;
}

// A session that finds the companion in the build folder and starts it on
// the fixture machine, fast, with its own runtime and settings folders, and
// with the diagnostic report's event logging on.
class SessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UserDefaults::standardUserDefaults().removeObject(SettingName::UseAppExtension, UserDefaults::Domain::Host);
        UserDefaults::standardUserDefaults().removeObject(SettingName::UseAppExtension);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VISTREL_SYSROOT"), sysroot);
        EventLog::clear();
        EventLog::setEnabled(true);
        session.setSearchFolders({QFileInfo(QStringLiteral(VISTREL_PLUS_EXECUTABLE)).path()});
        session.setLaunchArguments({QStringLiteral("--interval-ms"), QStringLiteral("200")}, environment);
        observer = NotificationCenter::defaultCenter().addObserver({}, [this](const QString& name, const QVariantMap&) {
            if (name.startsWith(QLatin1String("AppExtension")))
                notifications << name;
        });
    }
    void TearDown() override
    {
        NotificationCenter::defaultCenter().removeObserver(observer);
        session.terminate();
        if (const qint64 processID = session.appExtensionProcessID()) {
            ::kill(pid_t(processID), SIGCONT);
            ::kill(pid_t(processID), SIGTERM);
        }
        UserDefaults::standardUserDefaults().removeObject(SettingName::UseAppExtension, UserDefaults::Domain::Host);
        EventLog::setEnabled(false);
        EventLog::clear();
    }

    // The session's events in the report, without their "Vistrel Plus: " and line end.
    static QStringList sessionEvents()
    {
        QStringList events;
        for (const QString& line : EventLog::lines()) {
            if (line.startsWith(QLatin1String("Vistrel Plus: ")) && line.endsWith(u'\n'))
                events << line.mid(14).chopped(1);
        }
        return events;
    }

    bool waitUntilReceiving(double seconds = 10)
    {
        return waitFor([this] { return session.hasAppExtensionReceivedData() && session.isConnected(); }, seconds);
    }

    QString sysroot = QStringLiteral(VISTREL_FIXTURES "/plus-sensors");  // set before SetUp to change
    PipeRuntime runtime;
    QTemporaryDir suiteFolder;
    UserDefaults suite {suiteFolder.path()};
    VistrelPlusSession session {suite};
    NotificationCenter::Token observer = 0;
    QStringList notifications;
};
