#include "VistrelProcess.h"
#include "XServer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QVariantMap PlaceholderOnly = VistrelProcess::settled(
    {{QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon"), true}});

void saveForInspection(const QImage& image, const QString& name)
{
    image.save(QDir::current().filePath(name));
}

TEST(OwnBar, ShowsThePlaceholderAndOpensItsMenuOnAClick)
{
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, PlaceholderOnly);
    QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    ASSERT_EQ(screen.width(), ScreenWidth);
    saveForInspection(screen, QStringLiteral("own-bar-placeholder.png"));

    // The placeholder glyph is the only thing in the bar: a square button at the right end.
    const QRgb background = screen.pixel(10, 10);
    const QRect placeholder(ScreenWidth - ItemSpacing - BarHeight, 0, BarHeight, BarHeight);
    EXPECT_GT(inkIn(screen, placeholder, background), 15);
    EXPECT_EQ(inkIn(screen, QRect(0, 0, placeholder.left() - 1, BarHeight), background), 0);

    ASSERT_TRUE(click(placeholder.center()));
    const int column = ScreenWidth - 12;
    ASSERT_TRUE(waitUntil([&] {
        screen = grabScreen();
        return heightBelowBar(screen, column) > 20;
    })) << qPrintable(vistrel.errorOutput());
    saveForInspection(screen, QStringLiteral("own-bar-placeholder-menu.png"));

    // Two text rows and a separator: taller than one row, shorter than four.
    const int menuHeight = heightBelowBar(screen, column);
    EXPECT_GT(menuHeight, 40);
    EXPECT_LT(menuHeight, 110);
    // The highlighted button now stands out from the bar.
    EXPECT_NE(screen.pixel(placeholder.left() + 1, 1), background);
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu")));
    EXPECT_TRUE(vistrel.errorOutput().contains(
        QStringLiteral("Vistrel (no monitor items active) (disabled)\n-----\nPreferences...\n")))
        << qPrintable(vistrel.errorOutput());

    // Choosing the last row opens the configuration window.
    ASSERT_TRUE(click(QPoint(column, BarHeight + menuHeight - 14)));
    EXPECT_TRUE(waitUntil([] {
        return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
            QStringLiteral("^Vistrel Configuration$")});
    }));
}

TEST(OwnBar, IsADockWindowThatReservesItsHeight)
{
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, PlaceholderOnly);
    const QStringList search = {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
        QStringLiteral("^Vistrel$")};
    ASSERT_TRUE(waitUntil([&] { return xdotool(search); }));
    QProcess find;
    find.start(QStringLiteral(XDOTOOL_EXECUTABLE), search);
    ASSERT_TRUE(find.waitForFinished());
    const QString window = QString::fromLatin1(find.readAllStandardOutput()).split(u'\n').first();
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_WINDOW_TYPE"),
        QStringLiteral("_NET_WM_STRUT_PARTIAL")});
    ASSERT_TRUE(xprop.waitForFinished());
    const QString properties = QString::fromLatin1(xprop.readAllStandardOutput());
    EXPECT_TRUE(properties.contains(QStringLiteral("_NET_WM_WINDOW_TYPE_DOCK"))) << qPrintable(properties);
    EXPECT_TRUE(properties.contains(QStringLiteral("_NET_WM_STRUT_PARTIAL(CARDINAL) = 0, 0, 22, 0, 0, 0, 0, 0, 0, 1279, 0, 0")))
        << qPrintable(properties);
}

TEST(Executable, SnapshotWritesThePlaceholdersImageAndMenu)
{
    QTemporaryDir folder;
    const QString out = folder.filePath(QStringLiteral("out"));
    VistrelProcess vistrel({QStringLiteral("--snapshot"), out, QStringLiteral("--ticks"), QStringLiteral("1")}, PlaceholderOnly);
    ASSERT_TRUE(vistrel.process().waitForFinished(30000));
    ASSERT_EQ(vistrel.process().exitCode(), 0) << qPrintable(vistrel.errorOutput());
    const QImage image(out + QStringLiteral("/01-item.png"));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.height(), BarHeight);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += qAlpha(image.pixel(x, y)) > 128;
    EXPECT_GT(ink, 15);
    QFile menu(out + QStringLiteral("/01-item.menu.txt"));
    ASSERT_TRUE(menu.open(QIODevice::ReadOnly));
    EXPECT_EQ(menu.readAll(), QByteArray("Vistrel (no monitor items active) (disabled)\n-----\nPreferences...\n"));
}

TEST(Executable, RejectsBadOptionsWithExitCodeTwo)
{
    QProcess vistrel;
    vistrel.start(QStringLiteral(VISTREL_EXECUTABLE), {QStringLiteral("--status-bar=sideways")});
    ASSERT_TRUE(vistrel.waitForFinished(10000));
    EXPECT_EQ(vistrel.exitCode(), 2);
    EXPECT_TRUE(vistrel.readAllStandardError().contains("unknown status bar 'sideways'"));
}

} // namespace
