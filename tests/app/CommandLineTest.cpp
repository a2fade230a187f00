#include "app/CommandLine.h"

#include <gtest/gtest.h>

TEST(CommandLine, AcceptsBothOptionFormsAndDefaults)
{
    QString error;
    const auto defaults = CommandLine::parse({}, &error);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->statusBar, CommandLine::StatusBarMode::Auto);
    EXPECT_TRUE(defaults->snapshotDirectory.isEmpty());
    EXPECT_EQ(defaults->ticks, 3);

    const auto line = CommandLine::parse({"--status-bar=offscreen", "--snapshot", "/tmp/s", "--ticks=5"}, &error);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->statusBar, CommandLine::StatusBarMode::Offscreen);
    EXPECT_EQ(line->snapshotDirectory, "/tmp/s");
    EXPECT_EQ(line->ticks, 5);
    EXPECT_EQ(CommandLine::parse({"--status-bar", "bar"}, &error)->statusBar, CommandLine::StatusBarMode::Bar);
    EXPECT_EQ(CommandLine::parse({"--status-bar=tray"}, &error)->statusBar, CommandLine::StatusBarMode::Tray);
    EXPECT_TRUE(CommandLine::parse({"--snapshot=/tmp/s", "--status-bar=offscreen"}, &error));
}

TEST(CommandLine, RejectsBadInputWithAMessageNamingIt)
{
    const std::pair<QStringList, QString> cases[] = {
        {{"--frobnicate"}, "--frobnicate"},
        {{"--status-bar=tray2"}, "tray2"},
        {{"--status-bar"}, "needs a value"},
        {{"--ticks=0"}, "'0'"},
        {{"--ticks", "many"}, "'many'"},
        {{"--snapshot="}, "folder"},
        // A snapshot runs offscreen: any other status bar contradicts it.
        {{"--snapshot=/tmp/x", "--status-bar=bar"}, "--status-bar=bar"},
        {{"--status-bar=tray", "--snapshot=/tmp/x"}, "--status-bar=tray"},
    };
    for (const auto& [arguments, expected] : cases) {
        QString error;
        EXPECT_FALSE(CommandLine::parse(arguments, &error)) << qPrintable(arguments.join(u' '));
        EXPECT_TRUE(error.contains(expected)) << qPrintable(error);
    }
}
