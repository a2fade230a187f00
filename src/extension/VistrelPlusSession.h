#pragma once

#include "extension/VistrelPlusClient.h"
#include "platform/desktop/ExecutableSearch.h"

#include <QDateTime>
#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

#include <memory>
#include <optional>

class UserDefaults;

// Looks after the app extension Vistrel Plus for the application: notices
// whether it is installed and wanted, starts it, connects a client, checks
// its version, takes one payload a second into the current data set,
// notices silence and failures, and tells the rest of the program through
// "AppExtensionDidChange" and "AppExtensionDidReceive".
class VistrelPlusSession : public QObject, public VistrelPlusClientDelegate {
    Q_OBJECT
public:
    static constexpr char ExecutableName[] = "vistrel-plus";
    static constexpr char DidChangeNotification[] = "AppExtensionDidChange";
    static constexpr char DidReceiveNotification[] = "AppExtensionDidReceive";
    // Consecutive silent ticks after which the server counts as failed.
    static constexpr int SilentTicksUntilFailure = 17;

    // `sharedSuite` is the settings domain shared with the app extension.
    explicit VistrelPlusSession(UserDefaults& sharedSuite = applicationGroupSuite(), QObject* parent = nullptr);
    ~VistrelPlusSession() override;

    // The domain of the application group, in the user's configuration folder.
    static UserDefaults& applicationGroupSuite();
    // The session of the running application, for its page; null without one.
    static VistrelPlusSession* current();

    // Where the companion is looked for before PATH; the application's own
    // folder unless set. Arguments and environment are given to each start.
    void setSearchFolders(const QStringList& folders);
    void setLaunchArguments(const QStringList& arguments, const QProcessEnvironment& environment);

    bool shouldUseAppExtension() const;
    void setShouldUseAppExtension(bool use);
    bool isAppExtensionAvailable() const { return !m_urlOfAppExtension.isEmpty(); }
    static bool isAcceptableAppExtensionVersion(const QString& version, const QString& build);

    // Starts the 5-second availability timer after a first check.
    void start();
    void updateAppExtensionAvailability();
    void connectAppExtension();
    void disconnectAppExtension();
    void retrieveDataFromAppExtension();
    void communicationDidFailForClient(VistrelPlusClient* client) override;
    void handleAppExtensionAdvisoryState(int status);
    void handleAppExtensionLaunchError(const QString& error);
    void openAppExtensionFailureNoticeWithOptionalError(const std::optional<QString>& error);
    void updateAppExtensionStatus();
    // Writes the permissions the app extension reads into the shared suite.
    void notifyAppExtensionAboutPreferenceChange();
    // At the end of the program: a connected client says goodbye.
    void terminate();

    bool isAppExtensionCompatible() const { return m_isAppExtensionCompatible; }
    bool hasAppExtensionReceivedData() const { return m_hasAppExtensionReceivedData; }
    quint8 appExtensionFailureCount() const { return m_appExtensionFailureCount; }
    std::optional<QString> appExtensionVersion() const { return m_appExtensionVersion; }
    VistrelPlusClient* appExtensionClient() const { return m_appExtensionClient.get(); }
    bool isConnected() const { return m_appExtensionClient && m_appExtensionClient->isConnected(); }
    const std::optional<QVariantMap>& appExtensionDataSet() const { return m_appExtensionDataSet; }
    QString urlOfAppExtension() const { return m_urlOfAppExtension; }
    bool isReadTimerActive() const { return m_appExtensionTimer.isActive(); }
    // The process that serves the current session; 0 before a launch.
    qint64 appExtensionProcessID() const { return m_processID; }

Q_SIGNALS:
    void shouldUseAppExtensionChanged(bool use);
    // The texts of the advisory and the failure window.
    void advisoryRaised(const QString& headline, const QString& informativeText);
    void failureNoticeRaised(const QString& message);

private:
    // A companion already serving our pipe folder (its lock names it).
    qint64 runningAppExtension() const;
    void setupConnectionToAppExtension(qint64 processID);
    void rescheduleAppExtensionTimerBy(int milliseconds);
    void removeAppExtensionTimer();
    std::shared_ptr<VistrelPlusClient> ensureClient();

    UserDefaults& m_sharedSuite;
    bool m_isAppExtensionCompatible = false;
    bool m_hasAppExtensionReceivedData = false;
    quint8 m_appExtensionFailureCount = 0;
    std::optional<QString> m_appExtensionVersion;
    std::shared_ptr<VistrelPlusClient> m_appExtensionClient;
    std::optional<QVariantMap> m_appExtensionDataSet;
    QTimer m_appExtensionTimer;
    QTimer m_availabilityTimer;
    QString m_urlOfAppExtension;
    qint64 m_processID = 0;
    bool m_settingUp = false;
    ExecutableSearch m_appExtensionSearch;
    QStringList m_launchArguments;
    QProcessEnvironment m_launchEnvironment;
};
