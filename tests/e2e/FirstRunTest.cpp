#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Everything a new user's start may print on stderr at the default level.
// Vistrel's own notices need a reason to be here; Qt's messages never do.
const QStringList AllowedLines = {
    // A desktop without a system tray.
    QStringLiteral("^vistrel\\[default\\]: XEmbedTrayStatusBar: no system tray is running; the items appear when one starts\\.$"),
};

// The lines not allowed, one per line, for the failure message.
std::string unexpectedLines(const QString& errors)
{
    QStringList unexpected;
    for (const QString& line : errors.split(u'\n', Qt::SkipEmptyParts)) {
        const bool allowed = std::any_of(AllowedLines.begin(), AllowedLines.end(),
            [&](const QString& pattern) { return QRegularExpression(pattern).match(line).hasMatch(); });
        if (!allowed)
            unexpected.append(line);
    }
    return unexpected.join(u'\n').toStdString();
}

// A user's terminal: no runtime folder, no log level chosen, settings and
// temporary files of their own.
class FirstRunTest : public ::testing::Test {
protected:
    QTemporaryDir home;

    QProcessEnvironment environment(bool withDisplay) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"XDG_RUNTIME_DIR", "VISTREL_LOG_LEVEL", "QT_QPA_PLATFORM", "WAYLAND_DISPLAY"})
            environment.remove(QLatin1String(name));
        if (!withDisplay)
            environment.remove(QStringLiteral("DISPLAY"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("TMPDIR"), home.path());
        return environment;
    }

    // Runs until it exits, or for the given time when it keeps running; answers stderr.
    QString run(const QStringList& arguments, bool withDisplay, int keepRunningMs = 0) const
    {
        QProcess vistrel;
        vistrel.setProcessEnvironment(environment(withDisplay));
        vistrel.start(QStringLiteral(VISTREL_EXECUTABLE), arguments);
        EXPECT_TRUE(vistrel.waitForStarted(5000));
        if (keepRunningMs > 0) {
            EXPECT_FALSE(vistrel.waitForFinished(keepRunningMs)) << "stopped early: " << vistrel.readAllStandardError().constData();
            vistrel.terminate();
        }
        EXPECT_TRUE(vistrel.waitForFinished(30000));
        if (keepRunningMs == 0) {
            EXPECT_EQ(vistrel.exitCode(), 0);
        }
        return QString::fromLocal8Bit(vistrel.readAllStandardError());
    }
};

TEST_F(FirstRunTest, StartsWithoutADisplayAndOnOnePrintOnlyAllowedLines)
{
    const QStringList snapshot = {QStringLiteral("--snapshot"), home.filePath(QStringLiteral("snapshot")),
        QStringLiteral("--ticks"), QStringLiteral("1")};
    // The very first start opens the configuration window and the welcome
    // window; the second is an ordinary one.
    for (int start = 1; start <= 2; ++start) {
        SCOPED_TRACE(start);
        EXPECT_EQ(unexpectedLines(run(snapshot, false)), "");
    }
    EXPECT_FALSE(QDir(home.filePath(QStringLiteral("snapshot"))).isEmpty());
    EXPECT_EQ(unexpectedLines(run({}, true, 3000)), "");

    // The private runtime folder in place of the missing one.
    const QString runtime = home.filePath(QStringLiteral("vistrel-runtime-%1").arg(getuid()));
    struct stat info {};
    ASSERT_EQ(lstat(QFile::encodeName(runtime).constData(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

} // namespace
