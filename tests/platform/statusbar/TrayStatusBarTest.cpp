#include "platform/log/LogCapture.h"
#include "platform/statusbar/PrivateSessionBus.h"
#include "platform/statusbar/StatusBarProbe.h"
#include "platform/statusbar/StatusNotifierItem.h"
#include "platform/statusbar/TestTray.h"
#include "platform/statusbar/TrayStatusBar.h"

#include <QCoreApplication>
#include <QDBusObjectPath>
#include <QFileInfo>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

bool watcherOnBus(const QString& address)
{
    const QString name = QStringLiteral("tray-test-probe");
    bool registered = false;
    {
        const QDBusConnection connection = QDBusConnection::connectToBus(address, name);
        registered = StatusBarProbe::isStatusNotifierWatcherRegistered(connection);
    }
    QDBusConnection::disconnectFromBus(name);
    return registered;
}

// A tray on a screen of twice the pixel density.
class HiDpiTrayStatusBar : public TrayStatusBar {
public:
    using TrayStatusBar::TrayStatusBar;
    qreal devicePixelRatio() const override { return 2.0; }
};

QImage filled(QSizeF points, qreal ratio, QColor colour)
{
    QImage image((points * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(colour);
    return image;
}

class TrayStatusBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bus.isRunning());
        ASSERT_TRUE(tray.startWatcher());
    }

    // Waits for the item to register and answers the bus name it registered.
    QString registered(size_t count = 1)
    {
        processEventsUntil([&] { return size_t(tray.registeredItems().size()) >= count; });
        return tray.registeredItems().size() >= qsizetype(count) ? tray.registeredItems().at(qsizetype(count) - 1) : QString();
    }

    // A round trip to the item: every signal it sent before is in by then.
    void roundTrip(const QString& service) { tray.itemProperties(service); }

    PrivateSessionBus bus;
    TestTray tray{bus.address()};
};

TEST_F(TrayStatusBarTest, AnItemRegistersWithEverythingAHostReads)
{
    HiDpiTrayStatusBar bar(bus.address());
    auto item = bar.statusItemWithLength(StatusItem::VariableLength);
    QMenu menu;
    menu.addAction(QStringLiteral("Preferences..."));
    item->setImage(filled(QSizeF(66, 22), 2.0, Qt::red));
    item->setAutosaveName(QStringLiteral("QRNCPUMonitorItem"));
    item->setToolTip(QStringLiteral("Processor\n37%"));
    item->setMenu(&menu);

    const QString service = registered();
    ASSERT_FALSE(service.isEmpty());
    const QVariantMap properties = tray.itemProperties(service);
    EXPECT_EQ(properties.value(QStringLiteral("Id")), QStringLiteral("vistrel-QRNCPUMonitorItem"));
    EXPECT_EQ(properties.value(QStringLiteral("Category")), QStringLiteral("SystemServices"));
    EXPECT_EQ(properties.value(QStringLiteral("Status")), QStringLiteral("Active"));
    EXPECT_EQ(properties.value(QStringLiteral("Title")), QStringLiteral("Processor"));
    EXPECT_EQ(properties.value(QStringLiteral("ItemIsMenu")), QVariant(true));
    EXPECT_EQ(properties.value(QStringLiteral("Menu")).value<QDBusObjectPath>().path(), QStringLiteral("/MenuBar"));
    const auto toolTip = qdbus_cast<StatusNotifierToolTip>(properties.value(QStringLiteral("ToolTip")));
    EXPECT_EQ(toolTip.title, QStringLiteral("Processor"));
    EXPECT_EQ(toolTip.description, QStringLiteral("37%"));

    // A 66-point graph stays 66 points wide, at the screen's density.
    const auto pixmaps = qdbus_cast<StatusNotifierPixmaps>(properties.value(QStringLiteral("IconPixmap")));
    ASSERT_EQ(pixmaps.size(), 1);
    EXPECT_EQ(pixmaps.first().width, 132);
    EXPECT_EQ(pixmaps.first().height, 44);
    EXPECT_EQ(pixmaps.first().toImage().pixel(131, 43), qRgb(255, 0, 0));
    // The same picture as a file, for hosts that read icons by name.
    const QString file = properties.value(QStringLiteral("IconName")).toString();
    EXPECT_TRUE(QFileInfo(file).isAbsolute());
    EXPECT_EQ(QImage(file).size(), QSize(132, 44));
}

TEST_F(TrayStatusBarTest, NewIconOncePerChangedTickAndNotForTheSamePixels)
{
    TrayStatusBar bar(bus.address());
    auto item = bar.statusItemWithLength(StatusItem::VariableLength);
    item->setImage(filled(QSizeF(30, 22), 1.0, Qt::red));
    const QString service = registered();
    ASSERT_FALSE(service.isEmpty());
    roundTrip(service);
    tray.clearSignals();

    // One tick may draw the image more than once; hosts hear of it once.
    item->setImage(filled(QSizeF(30, 22), 1.0, Qt::blue));
    item->setImage(filled(QSizeF(30, 22), 1.0, Qt::green));
    item->setHighlighted(false);
    ASSERT_TRUE(processEventsUntil([&] { return tray.signalCount(QStringLiteral("NewIcon")) == 1; }));
    roundTrip(service);
    EXPECT_EQ(tray.signalCount(QStringLiteral("NewIcon")), 1);
    EXPECT_EQ(tray.iconPixmaps(service).first().toImage().pixel(0, 0), qRgb(0, 255, 0));

    // A tick that draws the same pixels sends nothing at all.
    item->setImage(filled(QSizeF(30, 22), 1.0, Qt::green));
    QCoreApplication::processEvents();
    roundTrip(service);
    EXPECT_EQ(tray.signalCount(QStringLiteral("NewIcon")), 1);
    EXPECT_EQ(tray.receivedSignals().size(), 1);

    item->setImage(filled(QSizeF(40, 22), 1.0, Qt::green));
    ASSERT_TRUE(processEventsUntil([&] { return tray.signalCount(QStringLiteral("NewIcon")) == 2; }));
    EXPECT_EQ(tray.iconPixmaps(service).first().width, 40);

    // A changed tool tip is announced on its own, then at most once per interval.
    bar.notifierItem(*item)->setToolTipInterval(300);
    item->setToolTip(QStringLiteral("Memory\n12% used"));
    item->setImage(filled(QSizeF(40, 22), 1.0, Qt::green));
    ASSERT_TRUE(processEventsUntil([&] { return tray.signalCount(QStringLiteral("NewToolTip")) == 1; }));
    item->setToolTip(QStringLiteral("Memory\n13% used"));
    item->setImage(filled(QSizeF(40, 22), 1.0, Qt::green));
    QCoreApplication::processEvents();
    roundTrip(service);
    EXPECT_EQ(tray.signalCount(QStringLiteral("NewToolTip")), 1);
    EXPECT_EQ(tray.signalCount(QStringLiteral("NewIcon")), 2);
    // The newest value is there for whoever reads it, and announced when the interval is over.
    EXPECT_EQ(qdbus_cast<StatusNotifierToolTip>(tray.itemProperties(service).value(QStringLiteral("ToolTip"))).description,
        QStringLiteral("13% used"));
    EXPECT_TRUE(processEventsUntil([&] { return tray.signalCount(QStringLiteral("NewToolTip")) == 2; }));
}

TEST_F(TrayStatusBarTest, TitleOnlyItemsAndDuplicateNamesGetTheirOwnIdentity)
{
    TrayStatusBar bar(bus.address());
    auto placeholder = bar.statusItemWithLength(StatusItem::SquareLength);
    placeholder->setTitle(QString(QChar(0x2327)));
    const QString first = registered(1);
    auto second = bar.statusItemWithLength(StatusItem::VariableLength);
    second->setTitle(QStringLiteral("CPU"));
    const QString other = registered(2);
    ASSERT_FALSE(other.isEmpty());
    EXPECT_NE(first, other);

    // A square item with a title is a square picture of the title.
    const auto pixmaps = tray.iconPixmaps(first);
    ASSERT_EQ(pixmaps.size(), 1);
    EXPECT_EQ(QSize(pixmaps.first().width, pixmaps.first().height), QSize(22, 22));
    // Unnamed items still get ids, and never the same one.
    const QString firstId = tray.itemProperties(first).value(QStringLiteral("Id")).toString();
    const QString otherId = tray.itemProperties(other).value(QStringLiteral("Id")).toString();
    EXPECT_EQ(firstId, QStringLiteral("vistrel-item"));
    EXPECT_EQ(otherId, QStringLiteral("vistrel-item-2"));
    // Without a menu, hosts are told there is none.
    EXPECT_EQ(tray.itemProperties(first).value(QStringLiteral("Menu")).value<QDBusObjectPath>().path(),
        QStringLiteral("/NO_DBUSMENU"));
}

TEST_F(TrayStatusBarTest, ARemovedItemLeavesTheBus)
{
    TrayStatusBar bar(bus.address());
    auto item = bar.statusItemWithLength(StatusItem::VariableLength);
    item->setTitle(QStringLiteral("CPU"));
    const QString service = registered();
    ASSERT_TRUE(tray.isServiceOnBus(service));
    bar.removeStatusItem(*item);
    // Watchers drop an item when its name leaves the bus.
    EXPECT_TRUE(processEventsUntil([&] { return !tray.isServiceOnBus(service); }));
}

TEST(TrayStatusBar, ATrayThatStartsLaterLearnsOfTheItems)
{
    PrivateSessionBus bus;
    ASSERT_TRUE(bus.isRunning());
    EXPECT_FALSE(watcherOnBus(bus.address()));
    LogCapture log;
    TrayStatusBar bar(bus.address());
    auto item = bar.statusItemWithLength(StatusItem::VariableLength);
    item->setTitle(QStringLiteral("CPU"));
    // Nobody takes the item yet; that is worth a line in the log.
    ASSERT_TRUE(processEventsUntil([&] { return !log.messages(LogLevel::Error).isEmpty(); }));

    // An item with nothing to show yet has no name for hosts and waits.
    auto empty = bar.statusItemWithLength(StatusItem::VariableLength);
    QCoreApplication::processEvents();

    TestTray tray(bus.address());
    ASSERT_TRUE(tray.startWatcher());
    EXPECT_TRUE(watcherOnBus(bus.address()));
    ASSERT_TRUE(processEventsUntil([&] { return tray.registeredItems().size() == 1; }));
    EXPECT_EQ(bar.notifierItem(*item)->serviceName(), tray.registeredItems().first());
    EXPECT_EQ(tray.itemProperties(tray.registeredItems().first()).value(QStringLiteral("Id")), QStringLiteral("vistrel-item"));

    empty->setTitle(QStringLiteral("MEM"));
    ASSERT_TRUE(processEventsUntil([&] { return tray.registeredItems().size() == 2; }));
    EXPECT_EQ(tray.itemProperties(tray.registeredItems().last()).value(QStringLiteral("Id")), QStringLiteral("vistrel-item-2"));
}

TEST(TrayStatusBar, WithoutABusItemsStillWork)
{
    LogCapture log;
    TrayStatusBar bar(QStringLiteral("unix:path=/nonexistent/bus"));
    auto item = bar.statusItemWithLength(StatusItem::VariableLength);
    item->setTitle(QStringLiteral("CPU"));
    QCoreApplication::processEvents();
    ASSERT_NE(bar.notifierItem(*item), nullptr);
    EXPECT_FALSE(bar.notifierItem(*item)->isConnected());
    EXPECT_EQ(log.messages(LogLevel::Error).size(), 1u);
    EXPECT_EQ(bar.statusItems().size(), 1u);
}

} // namespace
