#include "platform/defaults/PropertyList.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/log/LogCapture.h"
#include "support/QRNSimpleCustomerSiteLogger.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QVariantMap configuration(const QStringList& subsystems, const QStringList& categories, bool noFile = false)
{
    // As a property list holds them: lists of values.
    const auto list = [](const QStringList& strings) { return QVariantList(strings.cbegin(), strings.cend()); };
    QVariantMap map{{QStringLiteral("Subsystems"), list(subsystems)}, {QStringLiteral("Categories"), list(categories)}};
    if (noFile)
        map.insert(QStringLiteral("DisableReportFile"), true);
    return map;
}

// The report file's lines without their time stamps; each stamp must read as one.
QStringList linesOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d "));
    QStringList lines;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = stamp.match(line);
        lines << (match.hasMatch() ? line.mid(match.capturedLength()) : QStringLiteral("unstamped: ") + line);
    }
    return lines;
}

QStringList mirrored(const LogCapture& log)
{
    return log.messages(LogLevel::Debug).filter(QRegularExpression(QStringLiteral("^\\[")));
}

} // namespace

TEST(QRNSimpleCustomerSiteLogger, WithoutAUsableConfigurationNothingIsWrittenAnywhere)
{
    QTemporaryDir folder;
    const QString report = folder.filePath(QStringLiteral("Vistrel-Report.txt"));
    for (const QVariant& setting : {QVariant(), QVariant(QStringLiteral("Application")),
             QVariant(QVariantMap{{QStringLiteral("Subsystems"), QStringList{QStringLiteral("Application")}}}),
             QVariant(configuration({}, {}))}) {
        LogCapture log;
        QRNSimpleCustomerSiteLogger logger(setting, report);
        EXPECT_FALSE(logger.isEnabled());
        EXPECT_EQ(logger.beginLoggingForSubsystem(QStringLiteral("Application"), QStringLiteral("startup")), -1);
        logger.log(0, QStringLiteral("general"));
        logger.applicationWillTerminate();
        EXPECT_EQ(mirrored(log), QStringList());
    }
    EXPECT_FALSE(QFile::exists(report));
}

TEST(QRNSimpleCustomerSiteLogger, ChosenLogsWriteNumberedLinesThatARestartAppendsTo)
{
    QTemporaryDir folder;
    const QString report = folder.filePath(QStringLiteral("Vistrel-Report.txt"));
    {
        LogCapture log;
        QRNSimpleCustomerSiteLogger logger(configuration({QStringLiteral("Application")}, {QStringLiteral("disk")}), report);
        const int startup = logger.beginLoggingForSubsystem(QStringLiteral("Application"), QStringLiteral("startup"));
        EXPECT_EQ(startup, 1);
        EXPECT_EQ(logger.beginLoggingForSubsystem(QStringLiteral("Application"), QStringLiteral("startup")), 1);
        EXPECT_EQ(logger.beginLoggingForSubsystem(QStringLiteral("Network"), QStringLiteral("links")), -1);
        EXPECT_EQ(logger.beginLoggingForSubsystem(QStringLiteral("Application"), QString()), -1);
        const int disk = logger.beginLoggingForSubsystem(QStringLiteral("Items"), QStringLiteral("disk"));
        EXPECT_EQ(disk, 2);
        logger.log(startup, QStringLiteral("First stage of startup passed successfully."));
        logger.log(-1, QStringLiteral("never written"));
        logger.log(0, QStringLiteral("a general line"));
        logger.log(disk, QString());
        logger.endLoggingWithTag(startup);
        logger.log(startup, QStringLiteral("after the end"));
        logger.applicationWillTerminate();
        EXPECT_EQ(mirrored(log).first(), QStringLiteral("[Application-startup] --- Begin of log Application-startup ---"));
    }
    const QStringList firstRun = {
        QStringLiteral("00001 [Application-startup]: --- Begin of log Application-startup ---"),
        QStringLiteral("00001 [Items-disk]: --- Begin of log Items-disk ---"),
        QStringLiteral("00002 [Application-startup]: First stage of startup passed successfully."),
        QStringLiteral("00001 [General]: a general line"),
        QStringLiteral("00003 [Application-startup]: --- End of log Application-startup ---"),
        QStringLiteral("00002 [Items-disk]: --- End of log Items-disk ---"),
        QStringLiteral("00002 [General]: Application entered termination phase. [2] EOF."),
    };
    EXPECT_EQ(linesOf(report), firstRun);

    // The next start adds to the same file; its numbers start again.
    {
        QRNSimpleCustomerSiteLogger logger(configuration({QStringLiteral("Application")}, {}), report);
        logger.beginLoggingForSubsystem(QStringLiteral("Application"), QStringLiteral("startup"));
        logger.synchronizeLog();
        EXPECT_EQ(linesOf(report), firstRun + QStringList{QStringLiteral("00001 [Application-startup]: --- Begin of log Application-startup ---")});
    }
}

TEST(QRNSimpleCustomerSiteLogger, DisableReportFileLeavesOnlyTheSystemLog)
{
    QTemporaryDir folder;
    const QString report = folder.filePath(QStringLiteral("Vistrel-Report.txt"));
    LogCapture log;
    QRNSimpleCustomerSiteLogger logger(configuration({QStringLiteral("Application")}, {}, true), report);
    const int tag = logger.beginLoggingForSubsystem(QStringLiteral("Application"), QStringLiteral("startup"));
    logger.log(tag, QStringLiteral("Application setup completed."));
    logger.applicationWillTerminate();
    EXPECT_EQ(mirrored(log), (QStringList{QStringLiteral("[Application-startup] --- Begin of log Application-startup ---"),
                                 QStringLiteral("[Application-startup] Application setup completed."),
                                 QStringLiteral("[Application-startup] --- End of log Application-startup ---")}));
    EXPECT_FALSE(QFile::exists(report));
}

TEST(QRNSimpleCustomerSiteLogger, TheActivationFileGoesBeforeTheSettings)
{
    QTemporaryDir folder;
    UserDefaults defaults(folder.filePath(QStringLiteral("config")));
    const QVariantMap fromSettings = configuration({QStringLiteral("Settings")}, {});
    defaults.setObject(QStringLiteral("SCSLEnable"), fromSettings);
    const QString activation = folder.filePath(QStringLiteral("com.zentrovo.vistrel.plist"));
    EXPECT_EQ(QRNSimpleCustomerSiteLogger::configurationFrom(activation, defaults), QVariant(fromSettings));

    const QVariantMap fromFile = configuration({QStringLiteral("File")}, {});
    ASSERT_TRUE(PropertyList::writeFile(activation, QVariantMap{{QStringLiteral("SCSLEnable"), fromFile}}));
    EXPECT_EQ(QRNSimpleCustomerSiteLogger::configurationFrom(activation, defaults), QVariant(fromFile));

    // A file without the key, or one that does not read, is as good as none.
    ASSERT_TRUE(PropertyList::writeFile(activation, QVariantMap{{QStringLiteral("Other"), 1}}));
    EXPECT_EQ(QRNSimpleCustomerSiteLogger::configurationFrom(activation, defaults), QVariant(fromSettings));
    QFile broken(activation);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("<?xml version=\"1.0\"?><plist><dict><key>SCSLEnable</key>");
    broken.close();
    LogCapture quiet;
    EXPECT_EQ(QRNSimpleCustomerSiteLogger::configurationFrom(activation, defaults), QVariant(fromSettings));
}
