#include "platform/defaults/UserDefaults.h"
#include "platform/log/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using Domain = UserDefaults::Domain;

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

} // namespace
