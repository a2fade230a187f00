#include "app/ApplicationDelegate.h"
#include "items/QRNMainMenuMonitorItem.h"
#include "menubar/QRNTextPairView.h"
#include "platform/log/LogCapture.h"
#include "platform/statusbar/MenuText.h"
#include "platform/statusbar/OffscreenStatusBar.h"
#include "platform/statusbar/StatusMenu.h"
#include "support/TestMonitorItem.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidgetAction>

#include <gtest/gtest.h>

namespace {

class MonitorItemBaseTest : public ::testing::Test {
protected:
    void SetUp() override { StatusBar::setSystemStatusBar(std::make_unique<OffscreenStatusBar>()); }
    void TearDown() override
    {
        controller.reset();
        StatusBar::setSystemStatusBar(nullptr);
    }
    std::unique_ptr<ApplicationDelegate> controller = std::make_unique<ApplicationDelegate>();
};

int widthKeepingRows(const QMenu& menu)
{
    int rows = 0;
    for (QAction* action : menu.actions())
        rows += action->data().toInt() == QRNMonitorItem::WidthKeepingTag;
    return rows;
}

TEST_F(MonitorItemBaseTest, MainMenuItemCarriesTheApplicationCommandsInOrder)
{
    QRNMainMenuMonitorItem item;
    ASSERT_NE(item.statusItem(), nullptr);
    EXPECT_EQ(item.statusItem()->length(), StatusItem::SquareLength);
    EXPECT_EQ(item.statusItem()->autosaveName(), QStringLiteral("QRNMainMenuMonitorItem"));
    EXPECT_TRUE(item.monitorInstruments().empty());
    ASSERT_NE(item.statusItem()->menu(), nullptr);
    EXPECT_EQ(MenuText::of(*item.statusItem()->menu()),
        QStringLiteral("About Vistrel\n-----\nPreferences...\nVistrel Help\n-----\nQuit Vistrel\n"));

    item.statusItem()->menu()->actions()[2]->trigger();
    EXPECT_TRUE(controller->isFullGUIEnabled());
}

TEST_F(MonitorItemBaseTest, MainMenuSymbolIsACircleInTheTextColour)
{
    QPalette palette;
    palette.setColor(QPalette::WindowText, Qt::red);
    for (qreal ratio : {1.0, 2.0}) {
        const QImage image = QRNMainMenuMonitorItem::drawPieChartCircle(QSizeF(22, 22), ratio, palette);
        ASSERT_EQ(image.size(), QSize(22, 22) * ratio);
        // The ring crosses the mid-height line near x = 2.2 points; the corners stay empty.
        QColor edge(0, 0, 0, 0);
        for (int x = int(1.5 * ratio); x <= int(3 * ratio); ++x) {
            const QColor pixel = image.pixelColor(x, int(11 * ratio));
            if (pixel.alpha() > edge.alpha())
                edge = pixel;
        }
        EXPECT_GT(edge.alpha(), 128);
        EXPECT_GT(edge.red(), 200);
        EXPECT_EQ(image.pixelColor(int(7 * ratio), int(6 * ratio)).alpha(), 0);
        EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
        EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1).alpha(), 0);
    }
}

TEST_F(MonitorItemBaseTest, AltShowsTheDiagnosticsCommandInPlaceOfPreferences)
{
    TestMonitorItem item(QStringLiteral("TestOne"), {QStringLiteral("x")});
    StatusMenu& menu = *item.menu();
    EXPECT_EQ(MenuText::of(menu), QStringLiteral("TestOne\nPreferences...\n"));

    QKeyEvent altDown(QEvent::KeyPress, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(&menu, &altDown);
    EXPECT_EQ(MenuText::of(menu), QStringLiteral("TestOne\nShow Diagnostics Window\n"));
    QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier);
    QCoreApplication::sendEvent(&menu, &altUp);
    EXPECT_EQ(MenuText::of(menu), QStringLiteral("TestOne\nPreferences...\n"));
}

TEST_F(MonitorItemBaseTest, MenuGrowsToItsWidestRowWithOneWidthKeepingRow)
{
    TestMonitorItem item(QStringLiteral("TestOne"), {QStringLiteral("x")});
    StatusMenu& menu = *item.menu();
    QRNTextPairView* row = item.addTextPairView(QStringLiteral("Uptime:"), QStringLiteral("1 day"), &menu);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->height(), 17);
    EXPECT_EQ(row->horizontalOffsets(), 20.0);
    EXPECT_EQ(row->accessibleName(), QStringLiteral("Uptime:\t1 day"));
    EXPECT_EQ(item.addTextPairView(QStringLiteral("x"), QString(), nullptr), nullptr);

    auto keeperWidth = [&menu] {
        for (QAction* action : menu.actions()) {
            if (action->data().toInt() == QRNMonitorItem::WidthKeepingTag)
                return static_cast<QWidgetAction*>(action)->defaultWidget()->width();
        }
        return -1;
    };
    item.updateMenuWidthForTextPairViewsIfNeeded();
    const int first = keeperWidth();
    EXPECT_EQ(first, int(std::ceil(row->optimumWidth())));

    row->setRightStringValue(QStringLiteral("123 days, 23 hours and 59 minutes"));
    item.updateMenuWidthForTextPairViewsIfNeeded();
    item.updateMenuWidthForTextPairViewsIfNeeded();
    EXPECT_GT(keeperWidth(), first);
    EXPECT_EQ(widthKeepingRows(menu), 1);
    EXPECT_GE(menu.sizeHint().width(), keeperWidth());
}

TEST_F(MonitorItemBaseTest, UnhandledSettingsAreReportedAndLeaveTheItemAlone)
{
    TestMonitorItem item(QStringLiteral("TestOne"), {QStringLiteral("x")});
    LogCapture log;
    item.handleChangeOfUserDefault(QStringLiteral("ProcessorTopic-Frobnicate"), true);
    EXPECT_EQ(log.messages(LogLevel::Error),
        QStringList{QStringLiteral("TestOne: could not handle change of user default 'ProcessorTopic-Frobnicate'.")});
}

} // namespace
