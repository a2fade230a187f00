#include "platform/log/LogCapture.h"
#include "platform/statusbar/PrivateSessionBus.h"
#include "platform/statusbar/StatusBarProbe.h"
#include "platform/statusbar/StatusNotifierItem.h"
#include "platform/statusbar/TestTray.h"
#include "platform/statusbar/TrayStatusBar.h"

#include <QCoreApplication>
#include <QDBusObjectPath>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

const QString NewIcon = QStringLiteral("NewIcon");
const QString NewToolTip = QStringLiteral("NewToolTip");

bool watcherOnBus(const QString& address)
{
    const QString name = QStringLiteral("tray-test-probe");
    const bool registered =
        StatusBarProbe::isStatusNotifierWatcherRegistered(QDBusConnection::connectToBus(address, name));
    QDBusConnection::disconnectFromBus(name);
    return registered;
}

class HiDpiTrayStatusBar : public TrayStatusBar {
public:
    using TrayStatusBar::TrayStatusBar;
    qreal devicePixelRatio() const override { return 2.0; }
};

QImage filled(qreal width, qreal ratio, QColor colour)
{
    QImage image((QSizeF(width, 22) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
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
    // The service name of the count-th item to register, or empty.
    QString registered(qsizetype count = 1)
    {
        processEventsUntil([&] { return tray.registeredItems().size() >= count; });
        return tray.registeredItems().value(count - 1);
    }
    QVariant property(const QString& service, const char* name)
    {
        return tray.itemProperties(service).value(QLatin1String(name));
    }

    PrivateSessionBus bus;
    TestTray tray{bus.address()};
};

TEST_F(TrayStatusBarTest, AnItemRegistersWithEverythingAHostReadsAndLeavesWhenRemoved)
{
    HiDpiTrayStatusBar bar(bus.address());
    auto item = bar.statusItemWithLength(StatusItem::VariableLength);
    QMenu menu;
    menu.addAction(QStringLiteral("Preferences..."));
    item->setImage(filled(66, 2.0, Qt::red));
    item->setAutosaveName(QStringLiteral("QRNCPUMonitorItem"));
    item->setToolTip(QStringLiteral("Processor\n37%"));
    item->setMenu(&menu);

    const QString service = registered();
    ASSERT_FALSE(service.isEmpty());
    EXPECT_EQ(property(service, "Id"), QStringLiteral("vistrel-QRNCPUMonitorItem"));
    EXPECT_EQ(property(service, "Category"), QStringLiteral("SystemServices"));
    EXPECT_EQ(property(service, "Status"), QStringLiteral("Active"));
    EXPECT_EQ(property(service, "Title"), QStringLiteral("Processor"));
    EXPECT_EQ(property(service, "ItemIsMenu"), QVariant(true));
    EXPECT_EQ(property(service, "Menu").value<QDBusObjectPath>().path(), QStringLiteral("/MenuBar"));
    const auto toolTip = qdbus_cast<StatusNotifierToolTip>(property(service, "ToolTip"));
    EXPECT_EQ(toolTip.title, QStringLiteral("Processor"));
    EXPECT_EQ(toolTip.description, QStringLiteral("37%"));

    // A 66-point graph stays 66 points wide, at the screen's density.
    const auto pixmaps = tray.iconPixmaps(service);
    ASSERT_EQ(pixmaps.size(), 1);
    EXPECT_EQ(pixmaps.first().width, 132);
    EXPECT_EQ(pixmaps.first().height, 44);
    EXPECT_EQ(pixmaps.first().toImage().pixel(131, 43), qRgb(255, 0, 0));
    // The same picture as a file, for hosts that read icons by name.
    const QString file = QDir(property(service, "IconThemePath").toString())
                             .filePath(property(service, "IconName").toString() + QStringLiteral("-panel.png"));
    EXPECT_TRUE(QFileInfo(file).isAbsolute());
    EXPECT_EQ(QImage(file).size(), QSize(132, 44));

    // Watchers drop an item when its name leaves the bus.
    ASSERT_TRUE(tray.isServiceOnBus(service));
    bar.removeStatusItem(*item);
    EXPECT_TRUE(processEventsUntil([&] { return !tray.isServiceOnBus(service); }));
}

TEST_F(TrayStatusBarTest, SquareVariantsComeDrawnForTheirSizeAndSmallerThanTheWideImage)
{
    TrayStatusBar bar(bus.address());
    auto item = bar.statusItemWithLength(StatusItem::VariableLength);
    item->setImage(filled(66, 1.0, Qt::red));
    QList<int> asked;
    item->setCompactImageSource([&asked](int side, const QPalette&) {
        asked << side;
        QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
        square.fill(QColor(side, 0, 0));
        return square;
    });
    const QString service = registered();
    ASSERT_FALSE(service.isEmpty());
    // A host taking the largest picture still finds the 66 x 22 one.
    const auto pixmaps = tray.iconPixmaps(service);
    QList<QSize> sizes;
    for (const auto& pixmap : pixmaps)
        sizes << QSize(pixmap.width, pixmap.height);
    EXPECT_EQ(sizes, (QList<QSize>{{16, 16}, {22, 22}, {24, 24}, {32, 32}, {66, 22}}));
    ASSERT_EQ(pixmaps.size(), 5);
    EXPECT_EQ(pixmaps[1].toImage().pixel(5, 5), qRgb(22, 0, 0));

    // A square item offers the squares up to its own size, then itself.
    auto square = bar.statusItemWithLength(StatusItem::SquareLength);
    square->setTitle(QStringLiteral("M"));
    const QString second = registered(2);
    ASSERT_FALSE(second.isEmpty());
    sizes.clear();
    for (const auto& pixmap : tray.iconPixmaps(second))
        sizes << QSize(pixmap.width, pixmap.height);
    EXPECT_EQ(sizes, (QList<QSize>{{16, 16}, {22, 22}, {22, 22}}));
}

TEST_F(TrayStatusBarTest, NewIconOncePerChangedTickAndNotForTheSamePixels)
{
    TrayStatusBar bar(bus.address());
    auto item = bar.statusItemWithLength(StatusItem::VariableLength);
    item->setImage(filled(30, 1.0, Qt::red));
    const QString service = registered();
    ASSERT_FALSE(service.isEmpty());
    // A round trip to the item: every signal it sent before is in by then.
    const auto roundTrip = [&] { tray.itemProperties(service); };
    roundTrip();
    tray.clearSignals();

    // One tick may draw the image more than once; hosts hear of it once.
    item->setImage(filled(30, 1.0, Qt::blue));
    item->setImage(filled(30, 1.0, Qt::green));
    item->setHighlighted(false);
    ASSERT_TRUE(processEventsUntil([&] { return tray.signalCount(NewIcon) == 1; }));
    roundTrip();
    EXPECT_EQ(tray.signalCount(NewIcon), 1);
    EXPECT_EQ(tray.iconPixmaps(service).first().toImage().pixel(0, 0), qRgb(0, 255, 0));

    item->setImage(filled(30, 1.0, Qt::green));
    QCoreApplication::processEvents();
    roundTrip();
    EXPECT_EQ(tray.signalCount(NewIcon), 1);
    EXPECT_EQ(tray.receivedSignals().size(), 1);

    item->setImage(filled(40, 1.0, Qt::green));
    ASSERT_TRUE(processEventsUntil([&] { return tray.signalCount(NewIcon) == 2; }));
    EXPECT_EQ(tray.iconPixmaps(service).first().width, 40);

    // A changed tool tip is announced on its own, then at most once per interval.
    bar.notifierItem(*item)->setToolTipInterval(300);
    item->setToolTip(QStringLiteral("Memory\n12% used"));
    item->setImage(filled(40, 1.0, Qt::green));
    ASSERT_TRUE(processEventsUntil([&] { return tray.signalCount(NewToolTip) == 1; }));
    item->setToolTip(QStringLiteral("Memory\n13% used"));
    item->setImage(filled(40, 1.0, Qt::green));
    QCoreApplication::processEvents();
    roundTrip();
    EXPECT_EQ(tray.signalCount(NewToolTip), 1);
    EXPECT_EQ(tray.signalCount(NewIcon), 2);
    // The newest value is there for whoever reads it, and announced when the interval is over.
    EXPECT_EQ(qdbus_cast<StatusNotifierToolTip>(property(service, "ToolTip")).description, QStringLiteral("13% used"));
    EXPECT_TRUE(processEventsUntil([&] { return tray.signalCount(NewToolTip) == 2; }));
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
