#pragma once

#include <QFile>
#include <QHash>
#include <QSet>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

class UserDefaults;

// The support log: dormant until a support configuration ("SCSLEnable")
// names subsystems or categories; then every line of their logs goes,
// numbered, into a report file and, at debug level, to the system log.
// A log is one subsystem-category pair, opened with a tag; tag 0 is the
// general log. The report file is appended to, so a restart keeps what the
// last run wrote. Main thread only.
class QRNSimpleCustomerSiteLogger {
public:
    // The configuration is the "SCSLEnable" dictionary: "Subsystems" and
    // "Categories" (lists of strings; both must be lists for either to count)
    // and "DisableReportFile" (true: system log only).
    QRNSimpleCustomerSiteLogger(const QVariant& configuration, const QString& reportPath);
    ~QRNSimpleCustomerSiteLogger();

    // The process's logger, configured by the activation file when it holds
    // "SCSLEnable", else by the same key of the settings; its report file is
    // "Vistrel-Report.txt", both in the state folder.
    static QRNSimpleCustomerSiteLogger& sharedLogger();
    static QString pathOfActivationFile();
    static QVariant configurationFrom(const QString& activationFile, const UserDefaults& defaults);

    bool isEnabled() const { return m_isEnabled; }
    bool isLogFileDisabled() const { return m_isLogFileDisabled; }
    bool isLoggingActiveForSubsystem(const QString& subsystem) const;
    bool isLoggingActiveForCategory(const QString& category) const;
    static std::optional<QString> logIdentifierForSubsystem(const QString& subsystem, const QString& category);

    // A tag for the pair's log (the same one while it is open); -1 when not logged.
    int beginLoggingForSubsystem(const QString& subsystem, const QString& category);
    void endLoggingWithTag(int tag);
    void log(int tag, const QString& privacySafeMessageLine);
    void synchronizeLog();
    // Ends every open log and closes the file with a last general line.
    void applicationWillTerminate();

private:
    bool openLogFile();
    void writeLine(const QString& identifier, const QString& message);

    bool m_isEnabled = false;
    bool m_isLogFileDisabled = false;
    QSet<QString> m_activeSubsystems;
    QSet<QString> m_activeCategories;
    QHash<QString, int> m_logTagsByIdentifiers;
    QHash<int, QString> m_identifiersByLogTags;
    QHash<QString, quint64> m_linesByIdentifiers;
    int m_lastTag = 0;
    QString m_reportPath;
    std::unique_ptr<QFile> m_logFile;
};
