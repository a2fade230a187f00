#include "VistrelProcess.h"
#include "XServer.h"

#include <QDir>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

namespace {

const QRect WindowFrame(100, 120, 760, 600);

// Where the page log puts a named control or an outline row (name given
// as a pattern), as a rectangle on the screen; invalid when not logged.
QRect loggedPlace(const QString& page, const QString& what)
{
    const QRegularExpression line(QStringLiteral("^%1 at (-?\\d+),(-?\\d+) size (\\d+)x(\\d+)$").arg(what),
        QRegularExpression::MultilineOption);
    const auto match = line.match(page);
    if (!match.hasMatch())
        return {};
    return QRect(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(), match.captured(4).toInt());
}

void saveWindow(const QString& name)
{
    grabScreen().copy(WindowFrame).save(QDir::current().filePath(name));
}

} // namespace

TEST(SettingPages, TickingEachProcessorWithTheMouseSplitsTheItemInTheBar)
{
    if (QThread::idealThreadCount() < 2)
        GTEST_SKIP() << "with one processor the bar looks the same either way";
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")},
        VistrelProcess::settled({
            {QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon"), true},
            {QStringLiteral("MemoryTopic-IsActive"), false},
            {QStringLiteral("ProcessorTopic-IsActive"), true},
            {QStringLiteral("ProcessorTopic-MenuBarConfiguration"), QVariantList{QStringLiteral("QRNNumericMenuBarCell:P")}},
            {QStringLiteral("PreferencesTopic-SuppressSwitchingNotice"), true},
            {QStringLiteral("WindowFrame ConfigurationWindow"),
                QVariantList{WindowFrame.x(), WindowFrame.y(), WindowFrame.width(), WindowFrame.height()}},
        }));
    QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    const QRgb background = screen.pixel(10, 10);
    const int leftBefore = leftmostInk(screen, background);
    ASSERT_LT(leftBefore, ScreenWidth - ItemSpacing) << "no processor item in the bar";

    const QString page = openPreferencesFromMenu(vistrel, QStringLiteral("QRNCPUMonitorItem"), leftBefore);
    const QRect each = loggedPlace(page, QStringLiteral("control individualProcessors"));
    ASSERT_TRUE(each.isValid()) << qPrintable(page) << qPrintable(vistrel.errorOutput());

    // One pie per processor: the item grows to the left, and the setting is stored.
    ASSERT_TRUE(click(QPoint(each.left() + 8, each.center().y())));
    ASSERT_TRUE(waitUntil([&] { return leftmostInk(grabScreen(), background) < leftBefore - 10; }))
        << qPrintable(vistrel.errorOutput());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("ShowIndividualCPUs</key>\\s*<true/>")).match(vistrel.settingsText()).hasMatch());
    saveWindow(QStringLiteral("processor-page.png"));

    // Ticked off again, the item shrinks back to the total.
    ASSERT_TRUE(click(QPoint(each.left() + 8, each.center().y())));
    EXPECT_TRUE(waitUntil([&] { return leftmostInk(grabScreen(), background) == leftBefore; }))
        << qPrintable(vistrel.errorOutput());

    // The other two pages, chosen in the outline, for the pictures in the documentation.
    for (const char* title : {"Memory", "Preferences"}) {
        const QRect row = loggedPlace(page, QStringLiteral("topic '%1'").arg(QLatin1String(title)));
        ASSERT_TRUE(row.isValid()) << title;
        const QString shown = QStringLiteral("the page '%1Topic' shows:").arg(QLatin1String(title));
        ASSERT_TRUE(click(row.center()));
        ASSERT_TRUE(vistrel.waitForOutput(shown)) << title;
        QThread::msleep(300);
        saveWindow(QStringLiteral("%1-page.png").arg(QString::fromLatin1(title).toLower()));
    }
    EXPECT_EQ(vistrel.process().state(), QProcess::Running);
}
