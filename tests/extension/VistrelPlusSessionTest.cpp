#include "extension/SessionFixture.h"
#include "extension/VLPSensorInstrumentEntry.h"
#include "platform/log/LogCapture.h"
#include "settings/QRNHostUserDefaults.h"

TEST(VistrelPlusSessionRules, OnlyAVersionWithAPositiveIntegerValueAndABuildAreAccepted)
{
    EXPECT_TRUE(VistrelPlusSession::isAcceptableAppExtensionVersion(QStringLiteral("1.0"), QStringLiteral("1")));
    EXPECT_TRUE(VistrelPlusSession::isAcceptableAppExtensionVersion(QStringLiteral(" 12beta"), QStringLiteral("x")));
    EXPECT_FALSE(VistrelPlusSession::isAcceptableAppExtensionVersion(QStringLiteral("0.9"), QStringLiteral("1")));
    EXPECT_FALSE(VistrelPlusSession::isAcceptableAppExtensionVersion(QStringLiteral("2.1"), QString()));
    EXPECT_FALSE(VistrelPlusSession::isAcceptableAppExtensionVersion(QStringLiteral("-3"), QStringLiteral("1")));
}

TEST_F(SessionTest, PermittingLaunchesConnectsAndReceivesUntilWithdrawn)
{
    session.start();
    EXPECT_FALSE(session.isAppExtensionAvailable() && session.isConnected());
    EXPECT_TRUE(session.isAppExtensionAvailable());  // found, but not permitted: no launch
    EXPECT_EQ(session.appExtensionProcessID(), 0);

    QRNHostUserDefaults::setBool(true, SettingName::UseAppExtension);
    session.updateAppExtensionAvailability();
    ASSERT_TRUE(waitUntilReceiving());
    EXPECT_EQ(session.appExtensionVersion(), QStringLiteral("1.0 (Build 1)"));
    // Each step of the link is an event of the diagnostic report; the waits vary.
    QStringList steps = sessionEvents();
    steps.removeIf([](const QString& event) { return event.startsWith(QLatin1String("App extension needed ")); });
    EXPECT_EQ(steps.mid(0, 3), (QStringList {QStringLiteral("App extension running at PID %1.").arg(session.appExtensionProcessID()),
                                   QStringLiteral("Connection to app extension successful."),
                                   QStringLiteral("App extension accepted.")}));
    EXPECT_TRUE(session.isAppExtensionCompatible());
    EXPECT_TRUE(session.isReadTimerActive());
    EXPECT_TRUE(suite.objectForKey(QStringLiteral("StartRequestTime")).toDateTime().isValid());
    EXPECT_TRUE(suite.hasKey(QStringLiteral("ProcessMonitorActive")));
    ASSERT_TRUE(session.appExtensionDataSet());
    const auto sensors = transferEntry<VLPSensorInstrumentEntry>(session.appExtensionDataSet()->value(QStringLiteral("VLPSensorInstrumentEntry")));
    ASSERT_TRUE(sensors);
    EXPECT_DOUBLE_EQ(sensors->mainCentigradeValue, 54);
    // After each change, the first good payload is announced once.
    runRunLoopForSeconds(1.5);
    const QStringList sinceChange = notifications.mid(notifications.lastIndexOf(QStringLiteral("AppExtensionDidChange")));
    EXPECT_EQ(sinceChange, (QStringList {QStringLiteral("AppExtensionDidChange"), QStringLiteral("AppExtensionDidReceive")}));

    // A later availability check leaves a running session alone.
    const qint64 processID = session.appExtensionProcessID();
    session.updateAppExtensionAvailability();
    EXPECT_EQ(session.appExtensionProcessID(), processID);

    // Withdrawing the permission disconnects at once: the companion lets go
    // of our data pipe.
    const QString dataPipe = session.appExtensionClient()->pathOfInputPipe();
    QRNHostUserDefaults::setBool(false, SettingName::UseAppExtension);
    session.updateAppExtensionAvailability();
    EXPECT_FALSE(session.isConnected());
    EXPECT_FALSE(session.isReadTimerActive());
    EXPECT_FALSE(session.appExtensionDataSet());
    EXPECT_TRUE(waitFor([&] { return !QFileInfo::exists(dataPipe); }, 3));
    EXPECT_EQ(sessionEvents().last(), QStringLiteral("Disconnect from app extension successful."));

    // Permitted again, the running companion is reused, not started twice.
    QRNHostUserDefaults::setBool(true, SettingName::UseAppExtension);
    session.updateAppExtensionAvailability();
    ASSERT_TRUE(waitUntilReceiving());
    EXPECT_EQ(session.appExtensionProcessID(), processID);
}

TEST_F(SessionTest, AHungCompanionIsNoticedAsSilenceAndTheSessionRecoversWhenItRunsAgain)
{
    QRNHostUserDefaults::setBool(true, SettingName::UseAppExtension);
    session.start();
    ASSERT_TRUE(waitUntilReceiving());
    const qint64 processID = session.appExtensionProcessID();

    LogCapture log;
    ::kill(pid_t(processID), SIGSTOP);
    // 16 silent ticks only shift the timer; the 17th ends the session.
    ASSERT_TRUE(waitFor([this] { return session.appExtensionClient() == nullptr; }, 30));
    EXPECT_EQ(log.messages(LogLevel::Default).filter(QStringLiteral("Duty cycle was shifted by 0.250000s.")).size(), 16);
    EXPECT_TRUE(log.contains(LogLevel::Error, QStringLiteral("App extension is no longer submitting data. Assuming failure.")));
    EXPECT_EQ(sessionEvents().last(), QStringLiteral("App extension is no longer submitting data. Assuming failure."));
    EXPECT_FALSE(session.isReadTimerActive());
    EXPECT_TRUE(session.shouldUseAppExtension());  // a communication failure keeps the permission

    ::kill(pid_t(processID), SIGCONT);
    // The next availability check connects again, to the same companion.
    ASSERT_TRUE(waitUntilReceiving(15));
    EXPECT_EQ(session.appExtensionProcessID(), processID);
}

TEST_F(SessionTest, AdvisoryStatesAndUnacceptableServersWithdrawThePermission)
{
    QStringList advisories, failures;
    QObject::connect(&session, &VistrelPlusSession::advisoryRaised, [&](const QString& headline, const QString&) { advisories << headline; });
    QObject::connect(&session, &VistrelPlusSession::failureNoticeRaised, [&](const QString& message) { failures << message; });

    session.handleAppExtensionAdvisoryState(3);
    EXPECT_TRUE(advisories.isEmpty());
    session.handleAppExtensionAdvisoryState(2);
    EXPECT_EQ(advisories, QStringList {QStringLiteral("Vistrel Plus has been replaced.")});
    EXPECT_EQ(sessionEvents(), (QStringList {QStringLiteral("App extension reported status 3; its use is withdrawn."),
                                   QStringLiteral("App extension reported status 2; its use is withdrawn.")}));
    EXPECT_FALSE(session.isAppExtensionAvailable());

    session.openAppExtensionFailureNoticeWithOptionalError(std::nullopt);
    session.handleAppExtensionLaunchError(QStringLiteral("No such file or directory"));
    ASSERT_EQ(failures.size(), 2);
    EXPECT_TRUE(failures[0].startsWith(QStringLiteral("The available version might be too old")));
    EXPECT_TRUE(failures[1].startsWith(QStringLiteral("The system has indicated the following error: 'No such file or directory'")));
    EXPECT_TRUE(failures[1].endsWith(QStringLiteral("' The connection to Vistrel Plus has been deactivated.")));
    EXPECT_FALSE(session.shouldUseAppExtension());

    // A companion that cannot start: the permission goes, the notice says why.
    QTemporaryDir folder;
    QFile broken(folder.filePath(QStringLiteral("vistrel-plus")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a program");
    broken.close();
    broken.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    session.setSearchFolders({folder.path()});
    QRNHostUserDefaults::setBool(true, SettingName::UseAppExtension);
    failures.clear();
    session.updateAppExtensionAvailability();
    ASSERT_TRUE(waitFor([&] { return !failures.isEmpty(); }, 5));
    EXPECT_TRUE(sessionEvents().last().startsWith(QLatin1String("It was not possible to launch the app extension: ")))
        << qPrintable(sessionEvents().last());
    EXPECT_FALSE(session.shouldUseAppExtension());
    EXPECT_FALSE(session.isConnected());
}
