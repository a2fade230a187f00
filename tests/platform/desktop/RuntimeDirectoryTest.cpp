#include "platform/desktop/RuntimeDirectory.h"
#include "platform/log/LogCapture.h"
#include "support/ScopedEnvironmentVariable.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t permissions(const QString& path)
{
    struct stat info {};
    lstat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 0777;
}

TEST(RuntimeDirectory, APrivateFolderOnlyWhenNoneIsSetAndNeverSomeoneElses)
{
    QTemporaryDir base;
    const QString usual = base.filePath(QStringLiteral("vistrel-runtime-%1").arg(getuid()));
    {
        // A session's own folder is kept as it is.
        ScopedEnvironmentVariable runtime("XDG_RUNTIME_DIR", "/run/user/4242");
        EXPECT_EQ(RuntimeDirectory::ensure(base.path()), "/run/user/4242");
        EXPECT_FALSE(QFileInfo::exists(usual));
    }
    ScopedEnvironmentVariable runtime("XDG_RUNTIME_DIR", "");
    {
        LogCapture log;
        EXPECT_EQ(RuntimeDirectory::ensure(base.path()), usual);
        EXPECT_EQ(qEnvironmentVariable("XDG_RUNTIME_DIR"), usual);
        EXPECT_EQ(permissions(usual), 0700u);
        ASSERT_EQ(log.messages(LogLevel::Info).size(), 1);
        EXPECT_TRUE(log.messages(LogLevel::Info).first().contains(usual));
        EXPECT_TRUE(log.messages(LogLevel::Default).isEmpty());
    }

    // The next start reuses it and takes back access others were given.
    qunsetenv("XDG_RUNTIME_DIR");
    chmod(QFile::encodeName(usual).constData(), 0755);
    EXPECT_EQ(RuntimeDirectory::ensure(base.path()), usual);
    EXPECT_EQ(permissions(usual), 0700u);

    // A link in its place (someone else's trap) is not followed.
    qunsetenv("XDG_RUNTIME_DIR");
    QDir(usual).removeRecursively();
    QTemporaryDir elsewhere;
    chmod(QFile::encodeName(elsewhere.path()).constData(), 0755);
    ASSERT_TRUE(QFile::link(elsewhere.path(), usual));
    const QString fresh = RuntimeDirectory::ensure(base.path());
    EXPECT_TRUE(fresh.startsWith(usual + "-")) << fresh.toStdString();
    EXPECT_EQ(permissions(fresh), 0700u);
    EXPECT_EQ(permissions(elsewhere.path()), 0755u);
    EXPECT_FALSE(QFileInfo(fresh).isSymLink());
}

} // namespace
