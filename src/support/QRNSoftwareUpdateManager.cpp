#include "support/QRNSoftwareUpdateManager.h"

#include "platform/defaults/PropertyList.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/log/Log.h"
#include "support/UpdateInfo.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QNetworkReply>
#include <QRegularExpression>

namespace {

const QString ClassName = QStringLiteral("QRNSoftwareUpdateManager");
// An information file is a few hundred bytes, release notes a few pages; a
// server sending more is not the update server.
constexpr qint64 MaximumAnswerSize = 1024 * 1024;
double minimumPeriod = 86400.0;

QString text(const char* source)
{
    return QCoreApplication::translate("QRNApplicationSupport", source);
}

} // namespace

QRNSoftwareUpdateManager::QRNSoftwareUpdateManager(const QString& productIdentifier, const QString& shortVersion,
    quint32 osVersionCode, UserDefaults& defaults)
    : m_productIdentifier(productIdentifier)
    , m_appVersion(UpdateInfo::decimalVersion(shortVersion))
    , m_osVersionCode(osVersionCode)
    , m_defaults(defaults)
{
    // No network code runs, not even a proxy look-up, until a check is asked for.
    m_network.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

QRNSoftwareUpdateManager::~QRNSoftwareUpdateManager()
{
    // Nobody hears of a check cut short by the end.
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

QUrl QRNSoftwareUpdateManager::sourceURLOfUpdateInfo(const QString& baseURL, const QString& productIdentifier)
{
    const QString base = baseURL.trimmed();
    if (base.isEmpty() || productIdentifier.isEmpty())
        return {};
    QString path = base;
    while (path.endsWith(u'/'))
        path.chop(1);
    return QUrl(path + QStringLiteral("/ProductRepository/")
        + QString::fromLatin1(QUrl::toPercentEncoding(productIdentifier)) + QStringLiteral(".plist"));
}

QUrl QRNSoftwareUpdateManager::downloadURL() const
{
    return sourceURLOfUpdateInfo(m_defaults.stringForKey(SourceURLSetting), m_productIdentifier);
}

QUrl QRNSoftwareUpdateManager::updateNotesURL(const QString& baseURL, const QString& productIdentifier,
    const QString& languageCode)
{
    const QUrl info = sourceURLOfUpdateInfo(baseURL, productIdentifier);
    if (info.isEmpty())
        return {};
    return info.resolved(QUrl(QStringLiteral("../ProductNews/")
        + QString::fromLatin1(QUrl::toPercentEncoding(productIdentifier + u'-' + languageCode)) + QStringLiteral(".html")));
}

QUrl QRNSoftwareUpdateManager::updateNotesURL() const
{
    return updateNotesURL(m_defaults.stringForKey(SourceURLSetting), m_productIdentifier,
        bestSupportedLanguageCodeForLanguageCode(QLocale::languageToCode(QLocale().language())));
}

QString QRNSoftwareUpdateManager::bestSupportedLanguageCodeForLanguageCode(const QString& code)
{
    if (code == QLatin1String("en") || code == QLatin1String("de"))
        return code;
    if (code.contains(u'-'))
        return code.section(u'-', 0, 0);
    return QStringLiteral("en");
}

void QRNSoftwareUpdateManager::runCheck()
{
    // One at a time: a second request joins the one under way.
    if (m_reply)
        return;
    m_hasPerformedCheck = false;
    m_isRelevantUpdateAvailable = false;
    m_updateInfo.clear();
    m_updateNotes.clear();
    const QUrl url = downloadURL();
    if (url.isEmpty()) {
        Q_EMIT checkFinished();
        return;
    }
    if (url.scheme() != QLatin1String("https") || !url.isValid()) {
        Log::error("%{public}@: the update source '%{public}@' is not an HTTPS address; nothing was asked.",
            {ClassName, url.toString()});
        Q_EMIT checkFinished();
        return;
    }
    request(url, &QRNSoftwareUpdateManager::finishCheck);
}

void QRNSoftwareUpdateManager::request(const QUrl& url, void (QRNSoftwareUpdateManager::*finished)())
{
    QNetworkRequest request(url);
    request.setTransferTimeout(int(m_timeout.count()));
    m_reply = m_network.get(request);
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > MaximumAnswerSize && m_reply)
            m_reply->abort();
    });
    connect(m_reply, &QNetworkReply::finished, this, finished);
}

void QRNSoftwareUpdateManager::finishCheck()
{
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError) {
        Log::error("%{public}@: problem during download of software update information: %{public}@",
            {ClassName, reply->errorString()});
    } else {
        QString reason;
        const std::optional<QVariant> info = PropertyList::fromData(reply->readAll(), &reason);
        if (!info)
            Log::error("%{public}@: the software update information is no property list: %{public}@", {ClassName, reason});
        else if (accept(*info) && m_automatic)
            m_defaults.setObject(LastCheckSetting, QDateTime::currentDateTimeUtc());
    }
    const bool notify = m_automatic && m_isRelevantUpdateAvailable;
    m_automatic = false;
    if (notify) {
        // The check counts as under way until the notes are in.
        request(updateNotesURL(), &QRNSoftwareUpdateManager::finishUpdateNotes);
        return;
    }
    Q_EMIT checkFinished();
}

void QRNSoftwareUpdateManager::finishUpdateNotes()
{
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    // Missing notes leave the offer without them.
    if (reply->error() != QNetworkReply::NoError)
        Log::error("%{public}@: could not read the release notes: %{public}@", {ClassName, reply->errorString()});
    else
        m_updateNotes = QString::fromUtf8(reply->readAll());
    Q_EMIT relevantUpdateFound();
    Q_EMIT checkFinished();
}

bool QRNSoftwareUpdateManager::accept(const QVariant& info)
{
    if (info.typeId() != QMetaType::QVariantMap) {
        Log::error("%{public}@: the software update information is no dictionary.", {ClassName});
        return false;
    }
    const QVariantMap dictionary = info.toMap();
    if (const std::optional<QString> failure = UpdateInfo::validationFailure(dictionary)) {
        Log::error("%{public}@: received invalid update info: %{public}@", {ClassName, *failure});
        return false;
    }
    m_hasPerformedCheck = true;
    m_updateInfo = dictionary;
    m_isRelevantUpdateAvailable = UpdateInfo::isRelevant(dictionary, m_osVersionCode, m_appVersion);
    return true;
}

QString QRNSoftwareUpdateManager::localizedReleaseDateString() const
{
    const QDateTime date = m_updateInfo.value(QStringLiteral("QRNReleaseDate")).toDateTime();
    return date.isValid() ? QLocale().toString(date.toLocalTime().date(), QLocale::ShortFormat) : QString();
}

QUrl QRNSoftwareUpdateManager::localizedProductURL() const
{
    const QVariantMap urls = m_updateInfo.value(QStringLiteral("QRNProductURLs")).toMap();
    QStringList languages = QLocale().uiLanguages();
    // The C and POSIX locales read English.
    languages.replaceInStrings(QRegularExpression(QStringLiteral("^(C|POSIX)$")), QStringLiteral("en"));
    for (const QString& language : std::as_const(languages)) {
        for (const QString& candidate : {language, language.section(u'-', 0, 0)}) {
            if (urls.contains(candidate))
                return QUrl(urls.value(candidate).toString());
        }
    }
    return {};
}

QRNSoftwareUpdateManager::Alert QRNSoftwareUpdateManager::alertWithResults() const
{
    if (!m_hasPerformedCheck) {
        return {text("Could not contact update site"),
            text("It was not possible to contact the update server via Internet. Please check your Internet "
                 "connection or retry at a later time."),
            {text("OK")}, {}};
    }
    if (!m_isRelevantUpdateAvailable) {
        return {text("This software product is up-to-date"),
            text("You are already using the latest version of this software package that is available for this "
                 "operating system."),
            {text("OK")}, {}};
    }
    return {text("A new version is available"),
        text("The software package %1, version %2 (Build %3), is available since %4.\nClick on the Connect button "
             "below to open the download web site and get detailed information.")
            .arg(m_updateInfo.value(QStringLiteral("QRNProductName")).toString(),
                m_updateInfo.value(QStringLiteral("QRNVersionNumber")).toString(),
                m_updateInfo.value(QStringLiteral("QRNBuildNumber")).toString(), localizedReleaseDateString()),
        {text("Connect"), text("Cancel")}, localizedProductURL()};
}

QRNSoftwareUpdateManager::Alert QRNSoftwareUpdateManager::alertForMissingSource()
{
    return {text("No update source is configured"),
        text("Vistrel asks no server for updates until an update source is set: the setting \"%1\" holds the "
             "HTTPS address of the update server.")
            .arg(SourceURLSetting),
        {text("OK")}, {}};
}

void QRNSoftwareUpdateManager::runAutomaticUpdateCheckIfNecessary()
{
    if (!m_defaults.boolForKey(AutomaticCheckSetting) || !isSourceConfigured() || m_reply)
        return;
    const QDateTime last = m_defaults.objectForKey(LastCheckSetting).toDateTime();
    if (last.isValid() && last.addMSecs(qint64(minimumPeriod * 1000)) > QDateTime::currentDateTimeUtc())
        return;
    Log::info("%{public}@: Performing automatic software update check.", {ClassName});
    m_automatic = true;
    runCheck();
}

double QRNSoftwareUpdateManager::minimumPeriodForAutomaticUpdateCheck()
{
    return minimumPeriod;
}

void QRNSoftwareUpdateManager::setMinimumPeriodForAutomaticUpdateCheck(double seconds)
{
    if (seconds >= 1.0)
        minimumPeriod = seconds;
}
