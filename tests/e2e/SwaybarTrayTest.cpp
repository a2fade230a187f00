#include "SwaySession.h"
#include "VistrelProcess.h"
#include "XServer.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

int registeredItems(const QString& busAddress)
{
    QDBusMessage get = QDBusMessage::createMethodCall(QStringLiteral("org.kde.StatusNotifierWatcher"),
        QStringLiteral("/StatusNotifierWatcher"), QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.kde.StatusNotifierWatcher") << QStringLiteral("RegisteredStatusNotifierItems");
    const QDBusMessage reply = QDBusConnection::connectToBus(busAddress, busAddress).call(get);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return 0;
    return int(reply.arguments().first().value<QDBusVariant>().variant().toStringList().size());
}

// swaybar's height: the rows of its colour from the top.
int barHeight(const QImage& screen)
{
    int height = 0;
    while (height < screen.height() && screen.pixel(screen.width() / 2, height) == screen.pixel(screen.width() / 2, 0))
        ++height;
    return height;
}

// The tray's items: runs of inked columns in the bar's right half, with the
// height of the ink in each.
std::vector<QRect> trayItems(const QImage& screen)
{
    const int height = barHeight(screen);
    const QRgb bar = screen.pixel(screen.width() / 2, 0);
    std::vector<QRect> items;
    bool inRun = false;
    for (int x = screen.width() / 2; x < screen.width(); ++x) {
        int top = -1;
        int bottom = -1;
        for (int y = 0; y < height; ++y) {
            if (inkIn(screen, QRect(x, y, 1, 1), bar) > 0) {
                top = top < 0 ? y : top;
                bottom = y;
            }
        }
        if (top < 0) {
            inRun = false;
            continue;
        }
        const QRect column(x, top, 1, bottom - top + 1);
        if (inRun)
            items.back() = items.back().united(column);
        else
            items.push_back(column);
        inRun = true;
    }
    return items;
}

const QString Opened = QStringLiteral("StatusBar: opened the menu of '");
const QString Closed = QStringLiteral("StatusBar: closed the menu of '");

class SwaybarTrayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString reason = SwaySession::sessionUserCannotRun(QStringLiteral(VISTREL_EXECUTABLE));
        if (!reason.isEmpty())
            GTEST_SKIP() << qPrintable(reason) << "; the tray test needs Vistrel to run as sway's user";
        ASSERT_TRUE(sway.failure().isEmpty()) << qPrintable(sway.failure());
    }

    // The menus open now, by the log: each opening less each closing.
    int openMenus() { return int(vistrel.errorOutput().count(Opened) - vistrel.errorOutput().count(Closed)); }
    int openings() { return int(vistrel.errorOutput().count(Opened)); }

    SwaySession sway{true};
    // swaybar reads the item's icon files from Vistrel's private runtime
    // folder, so Vistrel runs as the session's user.
    VistrelProcess vistrel{{QStringLiteral("--status-bar=tray")}, threeTrayItems(), sway.clientEnvironment(),
        SwaySession::asSessionUser()};
};

TEST_F(SwaybarTrayTest, TheItemsShowAsSquaresAndEachClickLeavesExactlyOneMenuOpen)
{
    const QString bus = sway.clientEnvironment().value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    ASSERT_TRUE(waitUntil([&] { return registeredItems(bus) == 3; }, 15000))
        << qPrintable(vistrel.errorOutput()) << qPrintable(sway.output());

    // swaybar keeps only square pictures: each item, the processor graph
    // among them, fills a square of its icon size (the wide picture squeezed
    // into it would be a strip a few pixels high, or swaybar's broken icon).
    QImage screen;
    std::vector<QRect> items;
    ASSERT_TRUE(waitUntil([&] {
        screen = sway.screenshot();
        items = trayItems(screen);
        return items.size() == 3;
    }, 15000)) << items.size() << " items drawn";
    for (const QRect& item : items) {
        EXPECT_GE(item.width(), 12) << item.x();
        EXPECT_GE(item.height(), 12) << item.x();
    }
    screen.copy(screen.width() - 300, 0, 300, 40).save(QDir::current().filePath(QStringLiteral("swaybar-tray.png")));

    // A click on the rightmost item (the processor's) opens one menu, placed
    // under the pointer above every window.
    const QRect first = items[2];
    const QRect second = items[1];
    ASSERT_TRUE(sway.click(first.center().x(), first.center().y()));
    ASSERT_TRUE(waitUntil([&] { return openings() == 1; })) << qPrintable(vistrel.errorOutput());
    EXPECT_TRUE(waitUntil([&] {
        const QImage shown = sway.screenshot();
        return inkIn(shown, QRect(first.center().x() - 60, barHeight(shown) + 10, 60, 40), qRgb(0x20, 0x30, 0x40)) > 500;
    })) << "no menu under the item";
    for (const QJsonObject& window : sway.windows(QStringLiteral(".*")))
        ADD_FAILURE() << "a window: " << qPrintable(window.value(QStringLiteral("name")).toString());
    EXPECT_EQ(openMenus(), 1) << qPrintable(vistrel.errorOutput());

    // A click on the next item while the menu is open: that item's menu
    // replaces it, and nothing flips back and forth afterwards.
    ASSERT_TRUE(sway.click(second.center().x(), second.center().y()));
    ASSERT_TRUE(waitUntil([&] { return openings() == 2; })) << qPrintable(vistrel.errorOutput());
    keepRunning(3000);
    EXPECT_EQ(openings(), 2) << qPrintable(vistrel.errorOutput());
    EXPECT_EQ(openMenus(), 1);
    EXPECT_TRUE(vistrel.outputSince(Opened).startsWith(Opened + QStringLiteral("QRNMemoryMonitorItem")));
    sway.screenshot().copy(ScreenWidth - 300, 0, 300, 260).save(QDir::current().filePath(QStringLiteral("swaybar-tray-menu.png")));
}

} // namespace
