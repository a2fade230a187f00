#include "platform/desktop/ExecutableSearch.h"
#include "support/ScopedEnvironmentVariable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

void makeFile(const QString& path, QFile::Permissions permissions)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    ASSERT_TRUE(file.setPermissions(permissions));
}

constexpr QFile::Permissions Executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
constexpr QFile::Permissions Plain = QFile::ReadOwner | QFile::WriteOwner;

TEST(ExecutableSearch, GivenFoldersComeBeforePathAndOnlyExecutableFilesCount)
{
    QTemporaryDir root;
    for (const char* folder : {"own", "bin1", "bin2"})
        ASSERT_TRUE(QDir(root.path()).mkdir(QLatin1String(folder)));
    const QString own = root.filePath(QStringLiteral("own"));
    const QString bin1 = root.filePath(QStringLiteral("bin1"));
    const QString bin2 = root.filePath(QStringLiteral("bin2"));
    const ScopedEnvironmentVariable path("PATH", QFile::encodeName(bin1 + QStringLiteral("::") + bin2));
    const ExecutableSearch search(QStringLiteral("vistrel-search-test-tool"), {own});
    EXPECT_TRUE(search.find().isEmpty());

    // A folder of that name and a file without the execute bit are passed over.
    ASSERT_TRUE(QDir(own).mkdir(QStringLiteral("vistrel-search-test-tool")));
    makeFile(bin1 + QStringLiteral("/vistrel-search-test-tool"), Plain);
    makeFile(bin2 + QStringLiteral("/vistrel-search-test-tool"), Executable);
    EXPECT_EQ(search.find(), bin2 + QStringLiteral("/vistrel-search-test-tool"));

    // The search looks again each time: a program that appears or goes is seen.
    ASSERT_TRUE(QFile::setPermissions(bin1 + QStringLiteral("/vistrel-search-test-tool"), Executable));
    EXPECT_EQ(search.find(), bin1 + QStringLiteral("/vistrel-search-test-tool"));
    ASSERT_TRUE(QDir(own).rmdir(QStringLiteral("vistrel-search-test-tool")));
    makeFile(own + QStringLiteral("/vistrel-search-test-tool"), Executable);
    EXPECT_EQ(search.find(), own + QStringLiteral("/vistrel-search-test-tool"));
    ASSERT_TRUE(QFile::remove(own + QStringLiteral("/vistrel-search-test-tool")));
    ASSERT_TRUE(QFile::remove(bin1 + QStringLiteral("/vistrel-search-test-tool")));
    EXPECT_EQ(search.find(), bin2 + QStringLiteral("/vistrel-search-test-tool"));
}

TEST(ExecutableSearch, PathIsTakenWhenTheSearchIsMade)
{
    QTemporaryDir root;
    makeFile(root.filePath(QStringLiteral("vistrel-search-test-tool")), Executable);
    std::optional<ExecutableSearch> search;
    {
        const ScopedEnvironmentVariable path("PATH", QFile::encodeName(root.path()));
        search.emplace(QStringLiteral("vistrel-search-test-tool"), QStringList());
    }
    EXPECT_EQ(search->find(), root.filePath(QStringLiteral("vistrel-search-test-tool")));
    const ExecutableSearch later(QStringLiteral("vistrel-search-test-tool"), {});
    EXPECT_TRUE(later.find().isEmpty());
}

} // namespace
