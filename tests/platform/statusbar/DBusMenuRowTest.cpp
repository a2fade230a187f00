#include "menubar/QRNGraphMenuView.h"
#include "platform/statusbar/DBusMenuRow.h"
#include "platform/statusbar/StatusMenu.h"

#include <QWidgetAction>

#include <gtest/gtest.h>

TEST(DBusMenuRow, MnemonicsBecomeUnderscoresAndUnderscoresAreDoubled)
{
    const std::pair<const char*, const char*> cases[] = {{"&Quit", "_Quit"}, {"Save && Quit", "Save & Quit"},
        {"snake_case &_x", "snake__case ___x"}, {"A&", "A&"}}; // a lone ampersand at the end marks nothing
    for (const auto& [text, label] : cases)
        EXPECT_EQ(DBusMenuRow::label(QString::fromLatin1(text)), QString::fromLatin1(label)) << text;
}

TEST(DBusMenuRow, ALabelAndItsPaddedValueReadAsOneLine)
{
    const std::pair<const char*, const char*> cases[] = {{"User:\t  0.5%", "User: 0.5%"}, {"Processes:\t", "Processes:"},
        {"\t2 hours 55 minutes", "2 hours 55 minutes"}, {"Process Load\t", "Process Load"}, {"Free:\t 1.2 GB ", "Free: 1.2 GB"},
        {"Quit", "Quit"}};
    for (const auto& [pair, line] : cases)
        EXPECT_EQ(DBusMenuRow::joinedPair(QString::fromLatin1(pair)), QString::fromLatin1(line)) << pair;
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
    const auto properties = [](QAction* row) { return *DBusMenuRow::propertiesOf(*row, 100); };

    // Only what differs from the protocol's defaults is sent.
    EXPECT_EQ(properties(command), (QVariantMap{{QStringLiteral("label"), QStringLiteral("Preferences...")}}));
    EXPECT_EQ(properties(disabled).value(QStringLiteral("enabled")), QVariant(false));
    EXPECT_EQ(properties(separator), (QVariantMap{{QStringLiteral("type"), QStringLiteral("separator")}}));
    // The alternate of a modifier key cannot be reached in a host's menu.
    EXPECT_EQ(properties(alternate).value(QStringLiteral("visible")), QVariant(false));
    EXPECT_EQ(properties(check), (QVariantMap{{QStringLiteral("label"), QStringLiteral("Show__All")},
                                     {QStringLiteral("toggle-type"), QStringLiteral("checkmark")}, {QStringLiteral("toggle-state"), 1}}));
}

TEST(DBusMenuRow, GraphsBecomeImagesAsWideAsTheMenu)
{
    StatusMenu menu;
    menu.setMinimumWidth(150);
    auto* graph = new QRNGraphMenuView(QRect(0, 0, 100, 40));
    graph->setCapacity(30);
    for (int i = 0; i < 30; ++i)
        graph->addNewValue(i / 30.0);
    auto* row = new QWidgetAction(&menu);
    row->setDefaultWidget(graph);
    menu.addAction(row);

    const QVariantMap properties = *DBusMenuRow::propertiesOf(*row, DBusMenuRow::menuWidth(menu));
    EXPECT_FALSE(properties.contains(QStringLiteral("label")));
    EXPECT_EQ(properties.value(QStringLiteral("accessible-desc")), QStringLiteral("graph of 30 values"));
    const QImage image = QImage::fromData(properties.value(QStringLiteral("icon-data")).toByteArray(), "PNG");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(150, 40) * graph->devicePixelRatioF());
    // The curve is drawn, not just an empty frame.
    QSet<QRgb> colours;
    for (int x = 0; x < image.width(); x += 3)
        colours.insert(image.pixel(x, image.height() - 5));
    EXPECT_GT(colours.size(), 1);
}
