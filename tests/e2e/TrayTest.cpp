#include "VistrelProcess.h"
#include "XServer.h"
#include "XfceTray.h"
#include "platform/statusbar/StatusNotifierTypes.h"

#include <QDBusArgument>
#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

const QVariantMap ProcessorGraphOnly = VistrelProcess::settled({
    {QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon"), true},
    {QStringLiteral("MemoryTopic-IsActive"), false},
    {QStringLiteral("ProcessorTopic-IsActive"), true},
    {QStringLiteral("ProcessorTopic-MenuBarConfiguration"), QVariantList{QStringLiteral("QRNGraphMenuBarCell:1N")}},
});

bool standsOut(QRgb pixel, QRgb background)
{
    return qAlpha(pixel) > 128 && qAbs(qGray(pixel) - qGray(background)) > 60;
}

// The bounding box of what stands out from the background in the area.
QRect ink(const QImage& image, const QRect& area, QRgb background)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (standsOut(image.pixel(x, y), background))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

QRgb panelColour(const QImage& screen)
{
    return screen.pixel(ScreenWidth - 3, 3);
}

QRect inkInPanel(const QImage& screen)
{
    return ink(screen, QRect(0, 0, ScreenWidth / 2, XfceTray::PanelHeight - 2), panelColour(screen));
}

// The item's picture as the tray read it over the bus.
StatusNotifierPixmap publishedIcon(const XfceTray& tray)
{
    registerStatusNotifierTypes();
    const QStringList items = tray.registeredItems();
    if (items.isEmpty())
        return {};
    // The panel names items "<bus name><object path>".
    const QString entry = items.first();
    const qsizetype slash = entry.indexOf(u'/');
    const QVariant value = tray.property(entry.left(slash), entry.mid(slash), QStringLiteral("org.kde.StatusNotifierItem"),
        QStringLiteral("IconPixmap"));
    const auto pixmaps = qdbus_cast<StatusNotifierPixmaps>(value);
    return pixmaps.isEmpty() ? StatusNotifierPixmap() : pixmaps.first();
}

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!XfceTray::isInstalled())
            GTEST_SKIP() << "xfce4-panel and xfconfd are needed as the tray host";
        tray = std::make_unique<XfceTray>();
        ASSERT_TRUE(tray->waitUntilReady()) << qPrintable(tray->errorOutput());
        vistrel = std::make_unique<VistrelProcess>(QStringList{QStringLiteral("--status-bar=tray")}, ProcessorGraphOnly);
        ASSERT_TRUE(waitUntil([&] { return tray->registeredItems().size() == 1; }, 15000))
            << qPrintable(vistrel->errorOutput()) << qPrintable(tray->errorOutput());
    }
    void TearDown() override
    {
        vistrel.reset();
        tray.reset();
    }

    std::unique_ptr<XfceTray> tray;
    std::unique_ptr<VistrelProcess> vistrel;
};

TEST_F(TrayTest, ThePanelShowsTheProcessorGraphAtItsFullWidth)
{
    const StatusNotifierPixmap icon = publishedIcon(*tray);
    // A graph is wider than high; hosts that pad to squares would lose it.
    ASSERT_GT(icon.width, 2 * icon.height) << qPrintable(vistrel->errorOutput());

    QImage screen = grabScreen();
    const QImage picture = icon.toImage();
    // The graph's frame as drawn in the picture, on the panel's colour.
    const QRect frame = ink(picture, picture.rect(), panelColour(screen));
    ASSERT_GT(frame.width(), 40);
    QRect drawn;
    // Shrunk into the tray's 22-pixel square the frame would be a third as wide.
    EXPECT_TRUE(waitUntil([&] {
        screen = grabScreen();
        drawn = inkInPanel(screen);
        return drawn.size() == frame.size();
    })) << "drawn " << drawn.width() << " x " << drawn.height() << ", frame " << frame.width() << " x " << frame.height();
    screen.save(QDir::current().filePath(QStringLiteral("tray-processor-graph.png")));
    // Column for column: the frame's top and bottom edges run the full width
    // on screen as in the picture.
    for (int column = 0; column < frame.width(); ++column) {
        const bool inPicture = standsOut(picture.pixel(frame.left() + column, frame.top()), panelColour(screen));
        const bool onScreen = standsOut(screen.pixel(drawn.left() + column, drawn.top()), panelColour(screen));
        EXPECT_EQ(onScreen, inPicture) << "column " << column;
    }
}

TEST_F(TrayTest, ChoosingPreferencesInTheTraysMenuOpensTheConfiguration)
{
    QRect item;
    ASSERT_TRUE(waitUntil([&] {
        item = inkInPanel(grabScreen());
        return item.width() > 20;
    }));
    ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QString::number(item.center().x()),
        QString::number(item.center().y()), QStringLiteral("click"), QStringLiteral("3")}));
    // The panel draws the menu from our rows under the item.
    QImage screen;
    ASSERT_TRUE(waitUntil([&] {
        screen = grabScreen();
        return !isBlack(screen.pixel(item.center().x(), XfceTray::PanelHeight + 40));
    })) << qPrintable(vistrel->errorOutput());
    screen.save(QDir::current().filePath(QStringLiteral("tray-processor-menu.png")));
    // The rows the panel was given carry the load split as the menu opened.
    ASSERT_TRUE(vistrel->waitForOutput(QStringLiteral("the tray opened the menu of 'vistrel-QRNCPUMonitorItem'")));
    const QString output = vistrel->errorOutput();
    const QString menu = output.mid(output.lastIndexOf(QStringLiteral("the tray opened the menu")));
    static const QRegularExpression row(QStringLiteral("^(User|System|Nice|Idle):\\t *([0-9.]+)%$"),
        QRegularExpression::MultilineOption);
    double total = 0;
    int rows = 0;
    for (auto it = row.globalMatch(menu); it.hasNext(); ++rows)
        total += it.next().captured(2).toDouble();
    EXPECT_EQ(rows, 4) << qPrintable(menu);
    EXPECT_NEAR(total, 100.0, 0.5) << qPrintable(menu);

    // "Preferences..." is the last row: Up from the top selects it.
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("Up")}));
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("Return")}));
    EXPECT_TRUE(waitUntil([] {
        return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
            QStringLiteral("^Vistrel Configuration$")});
    })) << qPrintable(vistrel->errorOutput());
}

} // namespace
