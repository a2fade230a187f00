#include "extension/VistrelPlusSession.h"

#include "extension/RunLoopWait.h"
#include "extension/TransferPayload.h"
#include "extension/VistrelPlusService.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/linux/ProcessStartTime.h"
#include "platform/linux/ProcessTable.h"
#include "platform/log/Log.h"
#include "platform/notifications/NotificationCenter.h"
#include "settings/QRNHostUserDefaults.h"
#include "settings/SettingNames.h"
#include "settings/SettingsKey.h"
#include "support/EventLog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

namespace {

constexpr double WaitSeconds = 0.25;
constexpr int StaleChecks = 7;
constexpr int ReadyWaits = 16;
constexpr int BlockWaits = 16;
constexpr int ReadInterval = 1000;
constexpr int AvailabilityInterval = 5000;

VistrelPlusSession* currentSession = nullptr;

QString waitText(int waits)
{
    return QString::asprintf("%4.2f", waits * WaitSeconds);
}

// Every step of a session that is logged is also an event of the diagnostic
// report, so a user's report shows how the link to the companion went.
void report(LogLevel level, const char* format, std::initializer_list<QVariant> arguments = {})
{
    Log::write(level, format, arguments);
    EventLog::append(QStringLiteral("Vistrel Plus: %1\n").arg(Log::format(format, arguments)));
}

void beep()
{
    // Only a graphical application can beep (the snapshot runs without one).
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::beep();
}

}

VistrelPlusSession::VistrelPlusSession(UserDefaults& sharedSuite, QObject* parent)
    : QObject(parent)
    , m_sharedSuite(sharedSuite)
    , m_appExtensionSearch(QLatin1String(ExecutableName), {QCoreApplication::applicationDirPath()})
    , m_launchEnvironment(QProcessEnvironment::systemEnvironment())
{
    m_appExtensionTimer.setTimerType(Qt::CoarseTimer);
    connect(&m_appExtensionTimer, &QTimer::timeout, this, [this] {
        if (m_appExtensionTimer.interval() != ReadInterval)
            m_appExtensionTimer.setInterval(ReadInterval);
        retrieveDataFromAppExtension();
    });
    // Whole seconds, as the sampling ticks keep: the check shares their wake-up.
    m_availabilityTimer.setTimerType(Qt::VeryCoarseTimer);
    m_availabilityTimer.setInterval(AvailabilityInterval);
    connect(&m_availabilityTimer, &QTimer::timeout, this, &VistrelPlusSession::updateAppExtensionAvailability);
    currentSession = this;
}

VistrelPlusSession::~VistrelPlusSession()
{
    if (currentSession == this)
        currentSession = nullptr;
    terminate();
}

UserDefaults& VistrelPlusSession::applicationGroupSuite()
{
    static UserDefaults suite(QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                                  .filePath(QStringLiteral("vistrel/") + QLatin1String(VistrelPlusService::ApplicationGroup)));
    return suite;
}

VistrelPlusSession* VistrelPlusSession::current()
{
    return currentSession;
}

void VistrelPlusSession::setLaunchArguments(const QStringList& arguments, const QProcessEnvironment& environment)
{
    m_launchArguments = arguments;
    m_launchEnvironment = environment;
}

bool VistrelPlusSession::shouldUseAppExtension() const
{
    return UserDefaults::standardUserDefaults().boolForKey(SettingName::UseAppExtension);
}

void VistrelPlusSession::setShouldUseAppExtension(bool use)
{
    if (use == shouldUseAppExtension())
        return;
    QRNHostUserDefaults::setBool(use, SettingName::UseAppExtension);
    Q_EMIT shouldUseAppExtensionChanged(use);
    updateAppExtensionStatus();
}

bool VistrelPlusSession::isAcceptableAppExtensionVersion(const QString& version, const QString& build)
{
    return !version.isEmpty() && !build.isEmpty() && TransferBlockScanner::integerValue(version) > 0;
}

void VistrelPlusSession::start()
{
    updateAppExtensionAvailability();
    m_availabilityTimer.start();
}

void VistrelPlusSession::setSearchFolders(const QStringList& folders)
{
    m_appExtensionSearch = ExecutableSearch(QLatin1String(ExecutableName), folders);
}

qint64 VistrelPlusSession::runningAppExtension() const
{
    const QString folder = VistrelPlusService::pathOfPipeFolderForServerWithIdentifier(
        QLatin1String(VistrelPlusService::ServerIdentifier), QLatin1String(VistrelPlusService::ApplicationGroup));
    QFile lock(folder + QStringLiteral("/vistrel-plus.lock"));
    if (!lock.open(QIODevice::ReadOnly))
        return 0;
    const qint64 processID = lock.read(16).trimmed().toLongLong();
    if (processID <= 0)
        return 0;
    const std::optional<ProcessRecord> process = ProcessTable(QStringLiteral("/")).process(qint32(processID));
    if (!process || process->commandName != ExecutableName || process->effectiveUserID != ::geteuid())
        return 0;
    return processID;
}

void VistrelPlusSession::updateAppExtensionAvailability()
{
    const QString location = m_appExtensionSearch.find();
    const bool permitted = shouldUseAppExtension();
    if (!location.isEmpty() && permitted && !isConnected()) {
        m_urlOfAppExtension = location;
        connectAppExtension();
        return;
    }
    if (isConnected() && !permitted) {
        m_urlOfAppExtension = location;
        disconnectAppExtension();
        return;
    }
    if (location != m_urlOfAppExtension) {
        m_urlOfAppExtension = location;
        updateAppExtensionStatus();
    }
}

void VistrelPlusSession::connectAppExtension()
{
    // A set-up under way runs the main loop; a timer tick inside it must not
    // begin a second one.
    if (m_urlOfAppExtension.isEmpty() || isConnected() || m_settingUp)
        return;
    m_sharedSuite.setObject(QStringLiteral("StartRequestTime"), QDateTime::currentDateTimeUtc());
    notifyAppExtensionAboutPreferenceChange();

    qint64 processID = runningAppExtension();
    if (processID == 0) {
        QProcess process;
        process.setProgram(m_urlOfAppExtension);
        process.setArguments(m_launchArguments);
        process.setProcessEnvironment(m_launchEnvironment);
        process.setStandardInputFile(QProcess::nullDevice());
        if (!process.startDetached(&processID)) {
            report(LogLevel::Error, "It was not possible to launch the app extension: %{public}@", {process.errorString()});
            const QString error = process.errorString();
            QMetaObject::invokeMethod(this, [this, error] { handleAppExtensionLaunchError(error); }, Qt::QueuedConnection);
            return;
        }
    }
    m_settingUp = true;
    QMetaObject::invokeMethod(this, [this, processID] { setupConnectionToAppExtension(processID); }, Qt::QueuedConnection);
}

std::shared_ptr<VistrelPlusClient> VistrelPlusSession::ensureClient()
{
    if (!m_appExtensionClient) {
        std::unique_ptr<VistrelPlusClient> client = VistrelPlusClient::create(
            QLatin1String(VistrelPlusService::ServerIdentifier), QLatin1String(VistrelPlusService::ApplicationGroup));
        if (!client)
            return nullptr;
        client->setDelegate(this);
        m_appExtensionClient = std::move(client);
    }
    return m_appExtensionClient;
}

void VistrelPlusSession::setupConnectionToAppExtension(qint64 processID)
{
    // Set while the waits below run the main loop, so that the availability
    // timer firing meanwhile does not start a second set-up.
    struct SettingUp {
        bool& flag;
        ~SettingUp() { flag = false; }
    } settingUp {m_settingUp};
    if (processID <= 0)
        return;
    // Held here, so a failure reported during a wait cannot free it under us.
    const std::shared_ptr<VistrelPlusClient> client = ensureClient();
    if (!client) {
        report(LogLevel::Error, "It was not possible to create the client for the app extension.");
        beep();
        return;
    }
    m_processID = processID;
    report(LogLevel::Default, "App extension running at PID %u.", {processID});

    const std::optional<QDateTime> launchDate = ProcessStartTime::of(processID);
    const auto stale = [&] { return launchDate && client->isServerConnectPipeStaleForLaunchDate(*launchDate); };
    if (stale()) {
        report(LogLevel::Default, "Stale communication files detected, waiting for clean-up by app extension.");
        int check = 0;
        while (stale() && check < StaleChecks) {
            runRunLoopForSeconds(WaitSeconds);
            ++check;
        }
        if (stale()) {
            runRunLoopForSeconds(WaitSeconds);
            report(LogLevel::Error, "Communication with app extension blocked by stale files. Giving up.");
            communicationDidFailForClient(client.get());
            return;
        }
    }

    int waits = 0;
    while (!client->canConnectToServer()) {
        if (waits == ReadyWaits - 1) {
            runRunLoopForSeconds(WaitSeconds);
            report(LogLevel::Error, "App extension did not become ready as expected.");
            communicationDidFailForClient(client.get());
            return;
        }
        runRunLoopForSeconds(WaitSeconds);
        ++waits;
    }
    report(LogLevel::Default, "App extension needed %{public}@s to become ready.", {waitText(waits)});

    const bool connected = client->connectToServer();
    report(LogLevel::Default, "Connection to app extension %{public}s.", {connected ? QStringLiteral("successful") : QStringLiteral("failed")});
    if (connected) {
        bool received = client->retrieveDataFromServer();
        int blockWaits = 0;
        while (!received && blockWaits < BlockWaits && client->isConnected()) {
            runRunLoopForSeconds(WaitSeconds);
            ++blockWaits;
            received = client->retrieveDataFromServer();
        }
        QString version, build;
        if (received) {
            report(LogLevel::Default, "App extension needed %{public}@s to retrieve a valid data block.", {waitText(blockWaits)});
            version = client->serverVersion();
            build = client->serverBuild();
        }
        m_appExtensionVersion = !version.isEmpty() && !build.isEmpty()
            ? std::optional<QString>(QStringLiteral("%1 (Build %2)").arg(version, build))
            : std::nullopt;
        m_isAppExtensionCompatible = isAcceptableAppExtensionVersion(version, build);
        if (m_isAppExtensionCompatible) {
            report(LogLevel::Default, "App extension accepted.");
            m_appExtensionTimer.setInterval(ReadInterval);
            m_appExtensionTimer.start();
            retrieveDataFromAppExtension();
        } else {
            report(LogLevel::Error, "App extension of version '%{public}@' build '%{public}@' is not accepted.", {version, build});
            disconnectAppExtension();
            setShouldUseAppExtension(false);
            openAppExtensionFailureNoticeWithOptionalError(std::nullopt);
        }
    }
    updateAppExtensionStatus();
}

void VistrelPlusSession::retrieveDataFromAppExtension()
{
    // Held, as a failure reported inside a read drops the session's client.
    const std::shared_ptr<VistrelPlusClient> client = m_appExtensionClient;
    if (!client || !client->isConnected())
        return;
    std::optional<QByteArray> payload;
    if (!client->pendingBlocks().isEmpty()) {
        // Blocks that piled up are old news; only the newest counts.
        while (std::optional<QByteArray> next = client->nextPayloadBlock())
            payload = std::move(next);
    } else if (client->retrieveDataFromServer()) {
        m_appExtensionFailureCount = 0;
        payload = client->nextPayloadBlock();
    } else {
        report(LogLevel::Default, "Could not receive data from app extension within the duty cycle.");
        if (!client->isConnected() || client != m_appExtensionClient)
            return;
        ++m_appExtensionFailureCount;
        if (m_appExtensionFailureCount >= SilentTicksUntilFailure) {
            report(LogLevel::Error, "App extension is no longer submitting data. Assuming failure.");
            communicationDidFailForClient(client.get());
        } else {
            rescheduleAppExtensionTimerBy(250);
        }
        return;
    }

    QString error;
    m_appExtensionDataSet = TransferPayload::decode(*payload, &error);
    if (!m_appExtensionDataSet) {
        report(LogLevel::Error, "Data retrieved from app extension appears to be corrupt: %{public}@", {error});
        return;
    }
    if (!m_hasAppExtensionReceivedData) {
        m_hasAppExtensionReceivedData = true;
        NotificationCenter::defaultCenter().post(QLatin1String(DidReceiveNotification));
    }
    if (client->serverStatus() != 0)
        handleAppExtensionAdvisoryState(client->serverStatus());
}

void VistrelPlusSession::rescheduleAppExtensionTimerBy(int milliseconds)
{
    if (!m_appExtensionTimer.isActive())
        return;
    const int next = std::max(0, m_appExtensionTimer.remainingTime()) + milliseconds;
    m_appExtensionTimer.start(next);  // back to one second after this tick
    report(LogLevel::Default, "Duty cycle was shifted by %fs.", {milliseconds / 1000.0});
}

void VistrelPlusSession::removeAppExtensionTimer()
{
    m_appExtensionTimer.stop();
}

void VistrelPlusSession::disconnectAppExtension()
{
    if (!isConnected())
        return;
    const bool disconnected = m_appExtensionClient->disconnectFromServer();
    report(LogLevel::Default, "Disconnect from app extension %{public}s.", {disconnected ? QStringLiteral("successful") : QStringLiteral("failed")});
    removeAppExtensionTimer();
    m_appExtensionDataSet.reset();
    updateAppExtensionStatus();
}

void VistrelPlusSession::communicationDidFailForClient(VistrelPlusClient* client)
{
    if (!client || client != m_appExtensionClient.get())
        return;
    if (client->isConnected())
        client->closeConnectionToServer();
    removeAppExtensionTimer();
    m_appExtensionFailureCount = 0;
    m_appExtensionClient.reset();
    updateAppExtensionStatus();
}

void VistrelPlusSession::handleAppExtensionAdvisoryState(int status)
{
    report(LogLevel::Default, "App extension reported status %d; its use is withdrawn.", {status});
    disconnectAppExtension();
    setShouldUseAppExtension(false);
    m_urlOfAppExtension.clear();
    if (status == 1)
        Q_EMIT advisoryRaised(tr("Vistrel Plus has been removed."),
            tr("The connection has been deactivated. If you have relocated the application and like to reconnect, just "
               "re-enable the permission to use it in preferences."));
    else if (status == 2)
        Q_EMIT advisoryRaised(tr("Vistrel Plus has been replaced."),
            tr("The connection has been deactivated. If you have updated the application and like to reconnect, just "
               "re-enable the permission to use it in preferences. The version info will be updated as soon as a new "
               "connection is established."));
}

void VistrelPlusSession::handleAppExtensionLaunchError(const QString& error)
{
    beep();
    m_urlOfAppExtension.clear();
    setShouldUseAppExtension(false);
    openAppExtensionFailureNoticeWithOptionalError(error);
}

void VistrelPlusSession::openAppExtensionFailureNoticeWithOptionalError(const std::optional<QString>& error)
{
    const QString first = error
        ? tr("macOS has indicated the following error: '%@'").replace(QLatin1String("%@"), *error)
        : tr("The available version might be too old to support this version of Vistrel, or a technical issue occurred.");
    Q_EMIT failureNoticeRaised(first + tr(" The connection to Vistrel Plus has been deactivated."));
}

void VistrelPlusSession::updateAppExtensionStatus()
{
    m_hasAppExtensionReceivedData = false;
    NotificationCenter::defaultCenter().post(QLatin1String(DidChangeNotification));
}

void VistrelPlusSession::notifyAppExtensionAboutPreferenceChange()
{
    const UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const bool processes = defaults.boolForKey(SettingsKey(TopicName::Processor, SettingName::ShowTopProcesses).toString())
        || defaults.boolForKey(SettingsKey(TopicName::Memory, SettingName::ShowTopProcesses).toString());
    m_sharedSuite.setObject(QStringLiteral("ProcessMonitorActive"), processes);
    m_sharedSuite.setObject(QStringLiteral("PowerGadgetActive"), defaults.boolForKey(SettingsKey(TopicName::Sensor, SettingName::PermitPowerGadget).toString()));
    m_sharedSuite.setObject(QStringLiteral("ARMMonitoringActive"), defaults.boolForKey(SettingsKey(TopicName::Sensor, SettingName::PermitARMGadget).toString()));
}

void VistrelPlusSession::terminate()
{
    m_availabilityTimer.stop();
    removeAppExtensionTimer();
    if (isConnected())
        m_appExtensionClient->disconnectFromServer();
    m_appExtensionClient.reset();
}
