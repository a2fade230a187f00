#pragma once

#include <QLatin1String>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

#include <chrono>

class UserDefaults;

// Asks the update server whether a newer release exists for the running
// system. The server is a setting (a base URL, HTTPS only) that is empty
// unless the user sets one: without it nothing is ever requested. A check runs
// when the user asks, or at most once a day when the user wants automatic
// checks. Results are texts for the application to show; an update found by
// the automatic check comes with its release notes (rich text, HTML).
class QRNSoftwareUpdateManager : public QObject {
    Q_OBJECT
public:
    static constexpr QLatin1String SourceURLSetting{"SoftwareUpdateSourceURL"};
    static constexpr QLatin1String AutomaticCheckSetting{"AutoUpdateNotification"};
    static constexpr QLatin1String LastCheckSetting{"AutoUpdateCheckTimeStamp"};

    QRNSoftwareUpdateManager(const QString& productIdentifier, const QString& shortVersion, quint32 osVersionCode,
        UserDefaults& defaults);
    ~QRNSoftwareUpdateManager() override;

    // "<base>/ProductRepository/<identifier>.plist"; empty for an empty base or identifier.
    static QUrl sourceURLOfUpdateInfo(const QString& baseURL, const QString& productIdentifier);
    QUrl downloadURL() const;
    bool isSourceConfigured() const { return !downloadURL().isEmpty(); }
    // "<base>/ProductNews/<identifier>-<language>.html"; empty for an empty base or identifier.
    static QUrl updateNotesURL(const QString& baseURL, const QString& productIdentifier, const QString& languageCode);
    // The release notes in the language of the user's locale.
    QUrl updateNotesURL() const;
    // Notes exist in English and German: those codes stay, a regional code
    // ("pt-BR") is cut to its language, anything else is English.
    static QString bestSupportedLanguageCodeForLanguageCode(const QString& code);

    // Fetches and validates the information file; checkFinished follows in every case.
    void runCheck();
    bool isChecking() const { return m_reply != nullptr; }
    bool hasPerformedCheck() const { return m_hasPerformedCheck; }
    bool isRelevantUpdateAvailable() const { return m_isRelevantUpdateAvailable; }
    const QVariantMap& updateInfo() const { return m_updateInfo; }
    QString localizedReleaseDateString() const;
    // The release notes fetched for the update an automatic check found;
    // empty when they could not be read.
    const QString& updateNotes() const { return m_updateNotes; }
    // The download page in the first of the user's languages the file names; empty when none matches.
    QUrl localizedProductURL() const;

    // What the manual check tells the user: a title, a text, the buttons
    // (the first is the default), and the page "Connect" opens.
    struct Alert {
        QString title;
        QString text;
        QStringList buttons;
        QUrl page;
    };
    Alert alertWithResults() const;
    static Alert alertForMissingSource();

    // The automatic check, when the user wants it, a source is set and the
    // last successful one is older than the minimum period.
    void runAutomaticUpdateCheckIfNecessary();
    static double minimumPeriodForAutomaticUpdateCheck();
    // Values below one second are ignored.
    static void setMinimumPeriodForAutomaticUpdateCheck(double seconds);

    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

Q_SIGNALS:
    void checkFinished();
    // An automatic check found a release the user may want; told, once its
    // release notes were asked for, just before checkFinished.
    void relevantUpdateFound();

private:
    void request(const QUrl& url, void (QRNSoftwareUpdateManager::*finished)());
    void finishCheck();
    void finishUpdateNotes();
    bool accept(const QVariant& info);

    QString m_productIdentifier;
    double m_appVersion;
    quint32 m_osVersionCode;
    UserDefaults& m_defaults;
    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    std::chrono::milliseconds m_timeout{30000};
    bool m_hasPerformedCheck = false;
    bool m_isRelevantUpdateAvailable = false;
    bool m_automatic = false;
    QVariantMap m_updateInfo;
    QString m_updateNotes;
};
