#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {
std::optional<CommandLine> parse(const QStringList& arguments, QString* error = nullptr)
{
    QString ignored;
    return CommandLine::parse(arguments, error ? error : &ignored);
}
} // namespace

TEST(CommandLine, AcceptsBothOptionFormsAndDefaults)
{
    const auto defaults = parse({});
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->statusBar, CommandLine::StatusBarMode::Auto);
    EXPECT_TRUE(defaults->snapshotDirectory.isEmpty());
    EXPECT_EQ(defaults->ticks, 3);

    const auto line = parse({QStringLiteral("--status-bar=offscreen"), QStringLiteral("--snapshot"), QStringLiteral("/tmp/s"),
        QStringLiteral("--ticks=5")});
    ASSERT_TRUE(line);
    EXPECT_EQ(line->statusBar, CommandLine::StatusBarMode::Offscreen);
    EXPECT_EQ(line->snapshotDirectory, QStringLiteral("/tmp/s"));
    EXPECT_EQ(line->ticks, 5);
    EXPECT_EQ(parse({QStringLiteral("--status-bar"), QStringLiteral("bar")})->statusBar, CommandLine::StatusBarMode::Bar);
    EXPECT_EQ(parse({QStringLiteral("--status-bar=tray")})->statusBar, CommandLine::StatusBarMode::Tray);
    // A snapshot runs offscreen anyway, so saying so (or leaving the choice open) is fine.
    EXPECT_TRUE(parse({QStringLiteral("--snapshot=/tmp/s"), QStringLiteral("--status-bar=offscreen")}));
}

TEST(CommandLine, RejectsBadInputWithAMessageNamingIt)
{
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{QStringLiteral("--frobnicate")}, QStringLiteral("--frobnicate")},
        {{QStringLiteral("--status-bar=tray2")}, QStringLiteral("tray2")},
        {{QStringLiteral("--status-bar")}, QStringLiteral("needs a value")},
        {{QStringLiteral("--ticks=0")}, QStringLiteral("'0'")},
        {{QStringLiteral("--ticks"), QStringLiteral("many")}, QStringLiteral("'many'")},
        {{QStringLiteral("--snapshot=")}, QStringLiteral("folder")},
        {{QStringLiteral("--snapshot=/tmp/x"), QStringLiteral("--status-bar=bar")}, QStringLiteral("--status-bar=bar")},
        {{QStringLiteral("--status-bar=tray"), QStringLiteral("--snapshot=/tmp/x")}, QStringLiteral("--status-bar=tray")},
    };
    for (const auto& [arguments, expected] : cases) {
        QString error;
        EXPECT_FALSE(parse(arguments, &error)) << qPrintable(arguments.join(u' '));
        EXPECT_TRUE(error.contains(expected)) << qPrintable(error);
    }
}
