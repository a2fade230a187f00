#include "menubar/QRNGraphMenuView.h"
#include "menubar/QRNTextPairView.h"
#include "platform/statusbar/DBusMenuRow.h"
#include "platform/statusbar/StatusMenu.h"

#include <QWidgetAction>

#include <gtest/gtest.h>

namespace {

QWidgetAction* addView(QMenu& menu, QWidget* view)
{
    auto* row = new QWidgetAction(&menu);
    row->setDefaultWidget(view);
    menu.addAction(row);
    return row;
}

QString key(const char* name)
{
    return QString::fromLatin1(name);
}

} // namespace

TEST(DBusMenuRow, MnemonicsBecomeUnderscoresAndUnderscoresAreDoubled)
{
    EXPECT_EQ(DBusMenuRow::label(QStringLiteral("&Quit")), QStringLiteral("_Quit"));
    EXPECT_EQ(DBusMenuRow::label(QStringLiteral("Save && Quit")), QStringLiteral("Save & Quit"));
    EXPECT_EQ(DBusMenuRow::label(QStringLiteral("snake_case &_x")), QStringLiteral("snake__case ___x"));
    // A lone ampersand at the end has nothing to mark and stays as it is.
    EXPECT_EQ(DBusMenuRow::label(QStringLiteral("A&")), QStringLiteral("A&"));
}

TEST(DBusMenuRow, CommandsSeparatorsAndHiddenRowsKeepTheirMeaning)
{
    StatusMenu menu;
    QAction* command = menu.addAction(QStringLiteral("Preferences..."));
    QAction* disabled = menu.addAction(QStringLiteral("Vistrel (no monitor items active)"));
    disabled->setEnabled(false);
    QAction* separator = menu.addSeparator();
    QAction* alternate = menu.addAction(QStringLiteral("Show Diagnostics Window"));
    menu.addAlternate(command, alternate);
    QAction* check = menu.addAction(QStringLiteral("Show_All"));
    check->setCheckable(true);
    check->setChecked(true);

    // Only what differs from the protocol's defaults is sent.
    EXPECT_EQ(*DBusMenuRow::propertiesOf(*command, 100), (QVariantMap{{key("label"), QStringLiteral("Preferences...")}}));
    EXPECT_EQ(DBusMenuRow::propertiesOf(*disabled, 100)->value(key("enabled")), QVariant(false));
    EXPECT_EQ(*DBusMenuRow::propertiesOf(*separator, 100), (QVariantMap{{key("type"), QStringLiteral("separator")}}));
    // The alternate of a modifier key cannot be reached in a host's menu; it stays hidden there.
    EXPECT_EQ(DBusMenuRow::propertiesOf(*alternate, 100)->value(key("visible")), QVariant(false));
    EXPECT_EQ(*DBusMenuRow::propertiesOf(*check, 100),
        (QVariantMap{{key("label"), QStringLiteral("Show__All")}, {key("toggle-type"), QStringLiteral("checkmark")},
            {key("toggle-state"), 1}}));
}

TEST(DBusMenuRow, TextPairsReadAsTextAndHeadingsAreDisabled)
{
    StatusMenu menu;
    auto* pair = new QRNTextPairView(QRect(0, 0, 80, 17));
    pair->setLeftStringValue(QStringLiteral("Swap_used:"));
    pair->setRightStringValue(QStringLiteral("1.5 GB"));
    QWidgetAction* row = addView(menu, pair);
    auto* heading = new QRNTextPairView(QRect(0, 0, 80, 17));
    heading->setLeftStringValue(QStringLiteral("Process Load"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    QWidgetAction* headingRow = addView(menu, heading);
    // A label whose value follows on the next row is no heading.
    auto* label = new QRNTextPairView(QRect(0, 0, 80, 17));
    label->setLeftStringValue(QStringLiteral("Active since:"));
    QWidgetAction* labelRow = addView(menu, label);
    // A row that only keeps the menu wide says nothing and is left out.
    auto* blank = new QWidget;
    blank->setFixedSize(240, 1);
    QWidgetAction* keeper = addView(menu, blank);

    EXPECT_EQ(*DBusMenuRow::propertiesOf(*row, 240),
        (QVariantMap{{key("label"), QStringLiteral("Swap__used:\t1.5 GB")}}));
    EXPECT_EQ(*DBusMenuRow::propertiesOf(*headingRow, 240),
        (QVariantMap{{key("label"), QStringLiteral("Process Load")}, {key("enabled"), false}}));
    EXPECT_EQ(*DBusMenuRow::propertiesOf(*labelRow, 240), (QVariantMap{{key("label"), QStringLiteral("Active since:")}}));
    EXPECT_FALSE(DBusMenuRow::propertiesOf(*keeper, 240));
    EXPECT_EQ(DBusMenuRow::menuWidth(menu), 240);
}

TEST(DBusMenuRow, GraphsBecomeImagesAsWideAsTheMenu)
{
    StatusMenu menu;
    menu.setMinimumWidth(150);
    auto* graph = new QRNGraphMenuView(QRect(0, 0, 100, 40));
    graph->setCapacity(30);
    for (int i = 0; i < 30; ++i)
        graph->addNewValue(i / 30.0);
    QWidgetAction* row = addView(menu, graph);

    const QVariantMap properties = *DBusMenuRow::propertiesOf(*row, DBusMenuRow::menuWidth(menu));
    EXPECT_FALSE(properties.contains(key("label")));
    EXPECT_EQ(properties.value(key("accessible-desc")), QStringLiteral("graph of 30 values"));
    const QImage image = QImage::fromData(properties.value(key("icon-data")).toByteArray(), "PNG");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(150, 40) * graph->devicePixelRatioF());
    // The curve is drawn, not just an empty frame: the image holds more than one colour.
    QSet<QRgb> colours;
    for (int x = 0; x < image.width(); x += 3)
        colours.insert(image.pixel(x, image.height() - 5));
    EXPECT_GT(colours.size(), 1);
}
