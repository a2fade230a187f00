#include "support/QRNSimpleCustomerSiteLogger.h"

#include "platform/defaults/PropertyList.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/desktop/StateDirectory.h"
#include "platform/log/Log.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace {

const QString General = QStringLiteral("General");
const QString ConfigurationKey = QStringLiteral("SCSLEnable");

QSet<QString> stringsIn(const QVariant& list)
{
    QSet<QString> strings;
    for (const QVariant& element : list.toList()) {
        if (element.typeId() == QMetaType::QString && !element.toString().isEmpty())
            strings.insert(element.toString());
    }
    return strings;
}

} // namespace

QRNSimpleCustomerSiteLogger::QRNSimpleCustomerSiteLogger(const QVariant& configuration, const QString& reportPath)
    : m_reportPath(reportPath)
{
    m_linesByIdentifiers.insert(General, 0);
    if (configuration.typeId() != QMetaType::QVariantMap)
        return;
    const QVariantMap settings = configuration.toMap();
    const QVariant subsystems = settings.value(QStringLiteral("Subsystems"));
    const QVariant categories = settings.value(QStringLiteral("Categories"));
    if (PropertyList::isArray(subsystems) && PropertyList::isArray(categories)) {
        m_activeSubsystems = stringsIn(subsystems);
        m_activeCategories = stringsIn(categories);
    }
    m_isEnabled = !m_activeSubsystems.isEmpty() || !m_activeCategories.isEmpty();
    const QVariant disabled = settings.value(QStringLiteral("DisableReportFile"));
    const QMetaType::Type type = QMetaType::Type(disabled.typeId());
    if (type == QMetaType::Bool || type == QMetaType::LongLong || type == QMetaType::Int || type == QMetaType::Double)
        m_isLogFileDisabled = disabled.toBool();
}

QRNSimpleCustomerSiteLogger::~QRNSimpleCustomerSiteLogger() = default;

QRNSimpleCustomerSiteLogger& QRNSimpleCustomerSiteLogger::sharedLogger()
{
    static QRNSimpleCustomerSiteLogger logger(configurationFrom(pathOfActivationFile(), UserDefaults::standardUserDefaults()),
        StateDirectory::path() + QStringLiteral("/Vistrel-Report.txt"));
    return logger;
}

QString QRNSimpleCustomerSiteLogger::pathOfActivationFile()
{
    return StateDirectory::path() + QStringLiteral("/com.zentrovo.vistrel.plist");
}

QVariant QRNSimpleCustomerSiteLogger::configurationFrom(const QString& activationFile, const UserDefaults& defaults)
{
    // A missing or unreadable file counts as none; it says nothing when absent.
    if (QFileInfo::exists(activationFile)) {
        if (const std::optional<QVariant> file = PropertyList::readFile(activationFile)) {
            const QVariantMap values = file->toMap();
            if (values.contains(ConfigurationKey))
                return values.value(ConfigurationKey);
        }
    }
    return defaults.objectForKey(ConfigurationKey);
}

bool QRNSimpleCustomerSiteLogger::isLoggingActiveForSubsystem(const QString& subsystem) const
{
    return !subsystem.isEmpty() && m_activeSubsystems.contains(subsystem);
}

bool QRNSimpleCustomerSiteLogger::isLoggingActiveForCategory(const QString& category) const
{
    return !category.isEmpty() && m_activeCategories.contains(category);
}

std::optional<QString> QRNSimpleCustomerSiteLogger::logIdentifierForSubsystem(const QString& subsystem, const QString& category)
{
    if (subsystem.isEmpty() || category.isEmpty())
        return std::nullopt;
    return QStringLiteral("%1-%2").arg(subsystem, category);
}

int QRNSimpleCustomerSiteLogger::beginLoggingForSubsystem(const QString& subsystem, const QString& category)
{
    const std::optional<QString> identifier = logIdentifierForSubsystem(subsystem, category);
    if (!identifier || (!isLoggingActiveForSubsystem(subsystem) && !isLoggingActiveForCategory(category)))
        return -1;
    if (const auto open = m_logTagsByIdentifiers.constFind(*identifier); open != m_logTagsByIdentifiers.cend())
        return *open;
    const int tag = ++m_lastTag;
    m_logTagsByIdentifiers.insert(*identifier, tag);
    m_identifiersByLogTags.insert(tag, *identifier);
    m_linesByIdentifiers.insert(*identifier, 0);
    log(tag, QStringLiteral("--- Begin of log %1 ---").arg(*identifier));
    return tag;
}

void QRNSimpleCustomerSiteLogger::endLoggingWithTag(int tag)
{
    const auto identifier = m_identifiersByLogTags.constFind(tag);
    if (tag == 0 || identifier == m_identifiersByLogTags.cend())
        return;
    const QString name = *identifier;
    log(tag, QStringLiteral("--- End of log %1 ---").arg(name));
    m_identifiersByLogTags.remove(tag);
    m_logTagsByIdentifiers.remove(name);
    m_linesByIdentifiers.remove(name);
}

void QRNSimpleCustomerSiteLogger::log(int tag, const QString& privacySafeMessageLine)
{
    if (!m_isEnabled || privacySafeMessageLine.isEmpty())
        return;
    const QString identifier = tag == 0 ? General : m_identifiersByLogTags.value(tag);
    if (identifier.isEmpty())
        return;
    Log::debug("[%{public}@] %{public}@", {identifier, privacySafeMessageLine});
    if (m_isLogFileDisabled || !openLogFile())
        return;
    writeLine(identifier, privacySafeMessageLine);
}

bool QRNSimpleCustomerSiteLogger::openLogFile()
{
    if (m_logFile)
        return true;
    if (QFileInfo(m_reportPath).absolutePath() == StateDirectory::path())
        StateDirectory::ensure();
    auto file = std::make_unique<QFile>(m_reportPath);
    // Appending: what an earlier run wrote stays for support to read.
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        Log::error("%{public}@: could not open the report file '%{public}@': %{public}@",
            {QStringLiteral("QRNSimpleCustomerSiteLogger"), m_reportPath, file->errorString()});
        return false;
    }
    m_logFile = std::move(file);
    return true;
}

void QRNSimpleCustomerSiteLogger::writeLine(const QString& identifier, const QString& message)
{
    const quint64 number = ++m_linesByIdentifiers[identifier];
    const QString time = QLocale(QLocale::English, QLocale::UnitedStates)
                             .toString(QDateTime::currentDateTime(), QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
    m_logFile->write(QStringLiteral("%1 %2 [%3]: %4\n")
                         .arg(time)
                         .arg(number, 5, 10, QLatin1Char('0'))
                         .arg(identifier, message)
                         .toUtf8());
}

void QRNSimpleCustomerSiteLogger::synchronizeLog()
{
    if (m_logFile)
        m_logFile->flush();
}

void QRNSimpleCustomerSiteLogger::applicationWillTerminate()
{
    QList<int> tags = m_identifiersByLogTags.keys();
    std::sort(tags.begin(), tags.end());
    for (const int tag : tags)
        endLoggingWithTag(tag);
    if (!m_logFile)
        return;
    log(0, QStringLiteral("Application entered termination phase. [%1] EOF.").arg(m_linesByIdentifiers.value(General) + 1));
    m_logFile.reset();
}
