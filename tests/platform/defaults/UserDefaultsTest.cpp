#include "platform/defaults/UserDefaults.h"
#include "platform/log/LogCapture.h"
#include "support/FinishesInTime.h"
#include "support/FullDisk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using Domain = UserDefaults::Domain;
using namespace std::chrono_literals;

const QString HostFile = QStringLiteral("ByHost/com.zentrovo.vistrel.m.plist");

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList movedAside(const QTemporaryDir& folder)
{
    return QDir(folder.filePath(QStringLiteral("ByHost"))).entryList({QStringLiteral("*.unreadable-*")}, QDir::System | QDir::Files);
}

TEST(UserDefaults, HostSpecificValuesWinAndReadersConvert)
{
    QTemporaryDir folder;
    UserDefaults defaults(folder.path(), QStringLiteral("m"));
    defaults.setObject(QStringLiteral("Key"), QStringLiteral("standard"));
    defaults.setObject(QStringLiteral("Key"), QStringLiteral("host"), Domain::Host);
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("Key")), QStringLiteral("host"));
    defaults.removeObject(QStringLiteral("Key"), Domain::Host);
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("Key")), QStringLiteral("standard"));

    defaults.setObject(QStringLiteral("Yes"), QStringLiteral("YES"));
    defaults.setObject(QStringLiteral("Number"), 7);
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("Yes")));
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("Number")));
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("Missing")));
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("Yes")), 0);
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("Number")), 7);
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("Number")), QString());

    // An empty key is neither stored nor written.
    defaults.setObject(QString(), true);
    EXPECT_FALSE(defaults.hasKey(QString()));
}

TEST(UserDefaults, AnUnreadableFileIsMovedAsideAndReported)
{
    QTemporaryDir folder;
    {
        UserDefaults defaults(folder.path(), QStringLiteral("m"));
        defaults.setObject(QStringLiteral("Standard"), 1);
        defaults.setObject(QStringLiteral("Host"), 2, Domain::Host);
    }
    const QString hostFile = folder.filePath(QStringLiteral("ByHost/com.zentrovo.vistrel.m.plist"));
    QFile file(hostFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("<?xml version=\"1.0\"?><plist><dict><key>Host</key><integ");
    file.close();

    LogCapture log;
    UserDefaults defaults(folder.path(), QStringLiteral("m"));
    EXPECT_FALSE(defaults.hasKey(QStringLiteral("Host")));
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("Standard")), 1);
    const QStringList errors = log.messages(LogLevel::Error);
    ASSERT_FALSE(errors.isEmpty());
    EXPECT_TRUE(errors.last().contains(hostFile)) << qPrintable(errors.last());
    const QStringList aside = QDir(folder.filePath(QStringLiteral("ByHost"))).entryList({QStringLiteral("*.unreadable-*")});
    EXPECT_EQ(aside.size(), 1);
    EXPECT_FALSE(QFile::exists(hostFile));
}

TEST(UserDefaults, ReloadReportsWhatAnotherWriterChanged)
{
    QTemporaryDir folder;
    UserDefaults mine(folder.path(), QStringLiteral("m"));
    mine.setObject(QStringLiteral("Kept"), 1, Domain::Host);
    mine.setObject(QStringLiteral("Dropped"), 1, Domain::Host);
    EXPECT_TRUE(mine.reload().isEmpty());

    UserDefaults theirs(folder.path(), QStringLiteral("m"));
    theirs.setObject(QStringLiteral("Added"), true, Domain::Host);
    theirs.removeObject(QStringLiteral("Dropped"), Domain::Host);
    QStringList changed = mine.reload();
    changed.sort();
    EXPECT_EQ(changed, (QStringList{QStringLiteral("Added"), QStringLiteral("Dropped")}));
}

TEST(UserDefaults, AKilledWriterNeverLeavesAnUnreadableFile)
{
    QTemporaryDir folder;
    for (int round = 0; round < 5; ++round) {
        int started[2];
        ASSERT_EQ(pipe(started), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            UserDefaults defaults(folder.path(), QStringLiteral("m"));
            for (int i = 0;; ++i) {
                defaults.setObject(QStringLiteral("Counter"), i, Domain::Host);
                defaults.setObject(QStringLiteral("Padding"), QString(1000 + i % 997, u'x'), Domain::Host);
                if (i == 0 && write(started[1], "!", 1) != 1)
                    _exit(1);
            }
        }
        // Kill it at a different moment of its writing each round.
        char signal;
        ASSERT_EQ(read(started[0], &signal, 1), 1);
        ::close(started[0]);
        ::close(started[1]);
        usleep(3000 + round * 7000);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);

        LogCapture log;
        UserDefaults defaults(folder.path(), QStringLiteral("m"));
        EXPECT_TRUE(log.messages(LogLevel::Error).isEmpty()) << qPrintable(log.messages(LogLevel::Error).join(u'\n'));
        EXPECT_TRUE(defaults.hasKey(QStringLiteral("Counter")));
    }
}

TEST(UserDefaults, AFullDiskKeepsTheLastGoodFile)
{
    FullDisk disk;
    const QString hostFile = QDir(disk.path()).filePath(HostFile);
    {
        UserDefaults defaults(disk.path(), QStringLiteral("m"));
        defaults.setObject(QStringLiteral("Kept"), 1, Domain::Host);
    }
    const QByteArray good = contents(hostFile);
    ASSERT_FALSE(good.isEmpty());
    {
        LogCapture log;
        UserDefaults defaults(disk.path(), QStringLiteral("m"));
        // Smaller than the file's write buffer, larger than the disk has room
        // for: only the last flush before the commit fails.
        defaults.setObject(QStringLiteral("Large"), QString(FullDisk::Capacity + 2000, u'x'), Domain::Host);
        EXPECT_FALSE(log.messages(LogLevel::Error).isEmpty()) << qPrintable(disk.kind());
    }
    EXPECT_EQ(contents(hostFile), good) << qPrintable(disk.kind());
    EXPECT_EQ(QDir(disk.path() + QStringLiteral("/ByHost")).entryList(QDir::Files | QDir::Hidden),
        QStringList{QStringLiteral("com.zentrovo.vistrel.m.plist")});
    LogCapture log;
    UserDefaults again(disk.path(), QStringLiteral("m"));
    EXPECT_EQ(again.integerForKey(QStringLiteral("Kept")), 1);
    EXPECT_TRUE(log.messages(LogLevel::Error).isEmpty());
}

TEST(UserDefaults, HostileSettingsFilesAreMovedAsideWithoutHangOrCrash)
{
    const std::pair<const char*, std::function<bool(const QString&)>> files[] = {
        {"a FIFO", [](const QString& path) { return mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }},
        {"a link to /dev/zero", [](const QString& path) { return QFile::link(QStringLiteral("/dev/zero"), path); }},
        {"30,000 nested arrays",
            [](const QString& path) {
                QFile file(path);
                return file.open(QIODevice::WriteOnly)
                    && file.write("<plist version=\"1.0\"><dict><key>A</key>" + QByteArray("<array>").repeated(30'000)
                           + QByteArray("</array>").repeated(30'000) + "</dict></plist>")
                    > 0;
            }},
    };
    for (const auto& [kind, make] : files) {
        QTemporaryDir folder;
        ASSERT_TRUE(QDir().mkpath(folder.filePath(QStringLiteral("ByHost"))));
        const QString hostFile = folder.filePath(HostFile);
        ASSERT_TRUE(make(hostFile)) << kind;
        // The first start moves it aside (in a child, so a hang fails the test).
        EXPECT_TRUE(finishesInTime([&] { UserDefaults defaults(folder.path(), QStringLiteral("m")); }, 20s)) << kind;
        EXPECT_EQ(movedAside(folder).size(), 1) << kind;
        EXPECT_FALSE(QFileInfo(hostFile).exists() || QFileInfo(hostFile).isSymLink()) << kind;

        LogCapture log;
        ASSERT_TRUE(make(hostFile)) << kind;
        UserDefaults defaults(folder.path(), QStringLiteral("m"));
        defaults.setObject(QStringLiteral("Fresh"), true, Domain::Host);
        EXPECT_TRUE(UserDefaults(folder.path(), QStringLiteral("m")).boolForKey(QStringLiteral("Fresh"))) << kind;
        ASSERT_EQ(log.messages(LogLevel::Error).size(), 1) << kind;
        EXPECT_TRUE(log.messages(LogLevel::Error).first().contains(hostFile)) << qPrintable(log.messages(LogLevel::Error).first());
    }
}

TEST(UserDefaults, MovesAsideAreToldToTheHandlerOnceSet)
{
    QTemporaryDir folder;
    ASSERT_TRUE(QDir().mkpath(folder.filePath(QStringLiteral("ByHost"))));
    QFile file(folder.filePath(HostFile));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a list");
    file.close();
    LogCapture log;
    UserDefaults defaults(folder.path(), QStringLiteral("m"));
    QStringList told;
    defaults.setMovedAsideHandler([&](const QString& path, const QString& aside) { told << path << aside; });
    ASSERT_EQ(movedAside(folder).size(), 1);
    EXPECT_EQ(told, (QStringList{folder.filePath(HostFile), folder.filePath(QStringLiteral("ByHost/")) + movedAside(folder).first()}));
}

TEST(UserDefaults, TwoProgramsWritingDifferentKeysKeepBothChanges)
{
    QTemporaryDir folder;
    UserDefaults first(folder.path(), QStringLiteral("m"));
    UserDefaults second(folder.path(), QStringLiteral("m"));
    first.setObject(QStringLiteral("First"), 1, Domain::Host);
    // The second has not read the first's change.
    second.setObject(QStringLiteral("Second"), 2, Domain::Host);
    first.removeObject(QStringLiteral("First"), Domain::Host);
    first.setObject(QStringLiteral("Third"), 3, Domain::Host);
    UserDefaults reader(folder.path(), QStringLiteral("m"));
    EXPECT_FALSE(reader.hasKey(QStringLiteral("First")));
    EXPECT_EQ(reader.integerForKey(QStringLiteral("Second")), 2);
    EXPECT_EQ(reader.integerForKey(QStringLiteral("Third")), 3);

    // Two processes writing at the same time.
    constexpr int Keys = 40;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            UserDefaults defaults(folder.path(), QStringLiteral("m"));
            for (int i = 0; i < Keys; ++i)
                defaults.setObject(QStringLiteral("Process%1-%2").arg(c).arg(i), i, Domain::Host);
            _exit(0);
        }
    }
    for (const pid_t child : children)
        waitpid(child, nullptr, 0);
    QStringList keys = UserDefaults(folder.path(), QStringLiteral("m")).domainValues(Domain::Host).keys();
    keys.removeIf([](const QString& key) { return !key.startsWith(QLatin1String("Process")); });
    EXPECT_EQ(keys.size(), 2 * Keys);
}

} // namespace
