#include "platform/desktop/ExecutableSearch.h"
#include "support/ScopedEnvironmentVariable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

const QString Tool = QStringLiteral("vistrel-search-test-tool");
constexpr QFile::Permissions Executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
constexpr QFile::Permissions Plain = QFile::ReadOwner | QFile::WriteOwner;

void makeFile(const QString& path, QFile::Permissions permissions)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    ASSERT_TRUE(file.setPermissions(permissions));
}

TEST(ExecutableSearch, GivenFoldersComeBeforePathOnlyExecutableFilesCountAndPathIsTakenWhenTheSearchIsMade)
{
    QTemporaryDir root;
    const QDir top(root.path());
    for (const char* folder : {"own", "bin1", "bin2"})
        ASSERT_TRUE(top.mkdir(QLatin1String(folder)));
    const auto tool = [&](const char* folder) { return top.filePath(QLatin1String(folder) + u'/' + Tool); };
    std::optional<ExecutableSearch> search;
    {
        const ScopedEnvironmentVariable path("PATH", QFile::encodeName(top.filePath("bin1") + "::" + top.filePath("bin2")));
        search.emplace(Tool, QStringList {top.filePath("own")});
    }
    EXPECT_TRUE(search->find().isEmpty());

    // A folder of that name and a file without the execute bit are passed over.
    ASSERT_TRUE(top.mkdir(QStringLiteral("own/") + Tool));
    makeFile(tool("bin1"), Plain);
    makeFile(tool("bin2"), Executable);
    EXPECT_EQ(search->find(), tool("bin2"));

    // The search looks again each time: a program that appears or goes is seen.
    ASSERT_TRUE(QFile::setPermissions(tool("bin1"), Executable));
    EXPECT_EQ(search->find(), tool("bin1"));
    ASSERT_TRUE(top.rmdir(QStringLiteral("own/") + Tool));
    makeFile(tool("own"), Executable);
    EXPECT_EQ(search->find(), tool("own"));
    ASSERT_TRUE(QFile::remove(tool("own")));
    ASSERT_TRUE(QFile::remove(tool("bin1")));
    EXPECT_EQ(search->find(), tool("bin2"));

    // PATH was read when the search was made; one made now does not see those folders.
    EXPECT_TRUE(ExecutableSearch(Tool, {}).find().isEmpty());
}

} // namespace
