#include "platform/statusbar/MenuText.h"
#include "menubar/QRNGraphMenuView.h"
#include "menubar/QRNTextPairView.h"

#include "menubar/PixelProbe.h"
#include "menubar/ViewRendering.h"

#include <QApplication>
#include <QMenu>
#include <QWidgetAction>

#include <gtest/gtest.h>

using namespace ViewRendering;

namespace {

constexpr int RowHeight = 17;

// A row the way monitor items put one into their menus.
QWidgetAction* addRow(QMenu& menu, const QString& label, const QString& value)
{
    auto* row = new QRNTextPairView(QRect(0, 0, menu.minimumWidth(), RowHeight));
    row->setHorizontalOffsets(20);
    row->setLeftColor(MenuBarColor::System::Label);
    row->setLeftStringValue(label);
    row->setRightStringValue(value);
    auto* action = new QWidgetAction(&menu);
    action->setDefaultWidget(row);
    menu.addAction(action);
    return action;
}

QWidgetAction* addGraph(QMenu& menu)
{
    auto* graph = new QRNGraphMenuView(QRect(0, 0, 100, 40));
    graph->setHorizontalOffsets(20);
    graph->setCapacity(30);
    auto* action = new QWidgetAction(&menu);
    action->setDefaultWidget(graph);
    menu.addAction(action);
    return action;
}

} // namespace

TEST(MenuViewsInMenu, RowsKeepTheirHeightsAndSpanTheMenu)
{
    QMenu menu;
    menu.setMinimumWidth(160);
    QWidgetAction* user = addRow(menu, QStringLiteral("User"), QStringLiteral("12 %"));
    QWidgetAction* system = addRow(menu, QStringLiteral("System"), QStringLiteral("3 %"));
    QWidgetAction* graph = addGraph(menu);
    QAction* preferences = menu.addAction(QStringLiteral("Preferences..."));

    const QRect userRect = menu.actionGeometry(user);
    const QRect systemRect = menu.actionGeometry(system);
    EXPECT_EQ(userRect.height(), RowHeight);
    EXPECT_EQ(systemRect.height(), RowHeight);
    EXPECT_EQ(systemRect.top(), userRect.bottom() + 1);
    EXPECT_EQ(menu.actionGeometry(graph).height(), 40);

    menu.show();
    QApplication::processEvents();
    auto* row = static_cast<QRNTextPairView*>(system->defaultWidget());
    EXPECT_TRUE(row->isVisible());
    EXPECT_EQ(row->geometry(), systemRect);
    EXPECT_EQ(row->width(), menu.actionGeometry(preferences).width());
    EXPECT_GE(menu.width(), 160);
    EXPECT_EQ(graph->defaultWidget()->width(), row->width());

    // Stretched to the menu, the value still ends 20 points from the right edge.
    row->setPalette(PixelProbe::lightPalette());
    row->setFont(testFont());
    const auto ink = inkColumns(render(*row, 1));
    ASSERT_TRUE(ink);
    EXPECT_LE(ink->last, row->width() - 20);
    EXPECT_GE(ink->last, row->width() - 23);
}

TEST(MenuViewsInMenu, RowsReadAsPlainText)
{
    QMenu menu;
    menu.setMinimumWidth(160);
    addRow(menu, QStringLiteral("Uptime"), QStringLiteral("3 days"));
    QWidgetAction* state = addRow(menu, QStringLiteral("eth0"), QStringLiteral("up"));
    addGraph(menu);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Preferences..."));

    EXPECT_EQ(MenuText::of(menu), QStringLiteral("Uptime\t3 days\neth0\tup\ngraph of 30 values\n-----\nPreferences...\n"));
    static_cast<QRNTextPairView*>(state->defaultWidget())->setRightStringValue(QStringLiteral("down"), true);
    EXPECT_EQ(MenuText::of(menu), QStringLiteral("Uptime\t3 days\neth0\tdown\ngraph of 30 values\n-----\nPreferences...\n"));
}
