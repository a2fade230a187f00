#include "configuration/ConfigurationTopic.h"
#include "configuration/ConfigurationTopicClasses.h"
#include "platform/desktop/LoginItem.h"
#include "platform/log/LogCapture.h"
#include "support/ScopedEnvironmentVariable.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// What desktop-file-validate says about an entry; empty when it is valid.
QString validationProblems(const QByteArray& entry)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("vistrel.desktop");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(entry);
    file.close();
    QProcess validate;
    validate.start("desktop-file-validate", {path});
    if (!validate.waitForFinished(10000))
        return "desktop-file-validate did not run";
    const QString output = QString::fromUtf8(validate.readAll());
    return validate.exitCode() == 0 && output.isEmpty() ? QString() : output;
}

void writeFile(const QString& path, const QByteArray& contents)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

class OpenAtLoginTest : public ::testing::Test {
protected:
    QTemporaryDir config;
    ScopedEnvironmentVariable home {"XDG_CONFIG_HOME", config.path().toLocal8Bit()};
    std::unique_ptr<ConfigurationTopic> topic = ConfigurationTopicClasses::newTopicOfClassNamed("PreferencesTopic");
    QString entry = config.filePath("autostart/vistrel.desktop");

    QCheckBox* loginSwitch() const { return topic->contentView()->findChild<QCheckBox*>("openAtLoginSwitch"); }
    // The user comes back to the page.
    void reopenPage()
    {
        topic->contentView()->hide();
        topic->contentView()->show();
    }
};

TEST_F(OpenAtLoginTest, TheSwitchWritesAndRemovesTheEntryAndFollowsHandEdits)
{
    ASSERT_EQ(LoginItem::entryPath(), entry);
    topic->contentView()->show();
    ASSERT_NE(loginSwitch(), nullptr);
    EXPECT_FALSE(loginSwitch()->isChecked());

    loginSwitch()->click();
    ASSERT_TRUE(QFile::exists(entry));
    QFile written(entry);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray contents = written.readAll();
    EXPECT_EQ(validationProblems(contents), QString());
    EXPECT_TRUE(contents.contains("\nExec=" + QCoreApplication::applicationFilePath().toUtf8() + "\n")) << contents.constData();
    EXPECT_TRUE(loginSwitch()->isChecked());

    loginSwitch()->click();
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_FALSE(loginSwitch()->isChecked());

    // The user or the session settings change the entry while the page is away.
    writeFile(entry, contents);
    reopenPage();
    EXPECT_TRUE(loginSwitch()->isChecked());
    writeFile(entry, contents + "Hidden=true\n");
    reopenPage();
    EXPECT_FALSE(loginSwitch()->isChecked());
    writeFile(entry, contents);
    reopenPage();
    ASSERT_TRUE(loginSwitch()->isChecked());
    QFile::remove(entry);
    reopenPage();
    EXPECT_FALSE(loginSwitch()->isChecked());
}

TEST_F(OpenAtLoginTest, AnEntryThatCannotBeWrittenLeavesTheSwitchOff)
{
    // A plain file where the autostart folder belongs.
    writeFile(config.filePath("autostart"), "not a folder");
    topic->contentView()->show();
    LogCapture log;
    loginSwitch()->click();
    EXPECT_FALSE(loginSwitch()->isChecked());
    ASSERT_EQ(log.messages(LogLevel::Error).size(), 1);
    EXPECT_TRUE(log.messages(LogLevel::Error).first().contains(entry));
}

TEST(LoginItem, EntriesSwitchedOffByTheSessionAndUnusualProgramPaths)
{
    const QString entry = QString::fromUtf8(LoginItem::entryForExecutable("/usr/bin/vistrel"));
    EXPECT_TRUE(LoginItem::isEnabledEntry(entry));
    EXPECT_FALSE(LoginItem::isEnabledEntry(entry + "Hidden=true\n"));
    EXPECT_FALSE(LoginItem::isEnabledEntry(entry + "X-GNOME-Autostart-enabled=false\n"));
    EXPECT_TRUE(LoginItem::isEnabledEntry(entry + "X-GNOME-Autostart-enabled=true\n"));
    // Only the entry's own group counts.
    EXPECT_TRUE(LoginItem::isEnabledEntry(entry + "[Desktop Action Quit]\nHidden=true\n"));

    // A build in a folder with a space, a dollar sign and a percent sign.
    const QByteArray unusual = LoginItem::entryForExecutable("/home/ann/my $builds/100%/vistrel");
    EXPECT_TRUE(unusual.contains("\nExec=\"/home/ann/my \\\\$builds/100%%/vistrel\"\n")) << unusual.constData();
    EXPECT_EQ(validationProblems(unusual), QString());
}

} // namespace
