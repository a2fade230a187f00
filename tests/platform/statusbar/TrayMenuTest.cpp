#include "app/ApplicationDelegate.h"
#include "configuration/ConfigurationWindow.h"
#include "instruments/QRNCPULoadInstrument.h"
#include "items/QRNCPUMonitorItem.h"
#include "platform/linux/FixtureSysroot.h"
#include "platform/statusbar/DBusMenuRow.h"
#include "platform/statusbar/MenuText.h"
#include "platform/statusbar/PrivateSessionBus.h"
#include "platform/statusbar/StatusNotifierItem.h"
#include "platform/statusbar/TestTray.h"
#include "platform/statusbar/TrayStatusBar.h"
#include "support/ScopedStatusBar.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

const QString MenuInterface = QStringLiteral("com.canonical.dbusmenu");
const QString MenuPath = QStringLiteral("/MenuBar");

// /proc/stat of two processors that spend the same ticks: of each second's 1000, `user` and `system`, the rest idle.
class TwoProcessors {
public:
    QByteArray advance(int user, int system)
    {
        m_user += user;
        m_system += system;
        m_idle += 1000 - user - system;
        const auto line = [](qint64 u, qint64 s, qint64 i) {
            return QByteArray::number(u) + " 0 " + QByteArray::number(s) + ' ' + QByteArray::number(i) + " 0 0 0 0 0 0\n";
        };
        return "cpu  " + line(2 * m_user, 2 * m_system, 2 * m_idle) + "cpu0 " + line(m_user, m_system, m_idle)
            + "cpu1 " + line(m_user, m_system, m_idle) + "btime 1700000000\nprocesses 100\n";
    }

private:
    qint64 m_user = 0, m_system = 0, m_idle = 0;
};

class TrayMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bus.isRunning());
        ASSERT_TRUE(tray.startWatcher());
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        bar.emplace(std::make_unique<TrayStatusBar>(bus.address()));
        controller.setFullGUIEnabled(false);
        root.writeStat(processors.advance(250, 125));
        instrument = std::make_shared<QRNCPULoadInstrument>(root.root());
        tick(250, 125);
        processor = std::make_unique<QRNCPUMonitorItem>(instrument);
        ASSERT_TRUE(processor->initWithCellConfiguration(QRNCPUMonitorItem::defaultCellConfiguration()));
        QObject::connect(processor.get(), &QRNMonitorItem::preferencesRequested, &controller,
            &ApplicationDelegate::openPreferenceSettingsForMonitorItem);
        processor->updateInterface();
        ASSERT_TRUE(processEventsUntil([&] { return tray.registeredItems().size() == 1; }));
        service = tray.registeredItems().first();
    }
    void TearDown() override
    {
        processor.reset();
        bar.reset();
        QLocale::setDefault(QLocale::system());
    }

    void tick(int user, int system)
    {
        root.writeStat(processors.advance(user, system));
        instrument->collectNewSample();
        if (processor)
            processor->updateInterface();
    }

    QDBusMessage callMenu(const QString& method, const QVariantList& arguments)
    {
        return tray.call(service, MenuPath, MenuInterface, method, arguments);
    }
    void closeMenu()
    {
        callMenu(QStringLiteral("Event"), {0, QStringLiteral("closed"), QVariant::fromValue(QDBusVariant(QString())), 0u});
    }

    QMap<int, QVariantMap> announcedProperties() const
    {
        QMap<int, QVariantMap> rows;
        for (const QDBusMessage& message : tray.receivedSignals()) {
            if (message.member() != QLatin1String("ItemsPropertiesUpdated"))
                continue;
            for (const DBusMenuItemProperties& row : qdbus_cast<DBusMenuItemPropertiesList>(message.arguments().at(0)))
                rows[row.id].insert(row.properties);
        }
        return rows;
    }

    PrivateSessionBus bus;
    TestTray tray{bus.address()};
    std::optional<ScopedStatusBar> bar;
    FixtureSysroot root{QStringLiteral("laptop-2cpu-t0")};
    std::shared_ptr<QRNCPULoadInstrument> instrument;
    TwoProcessors processors;
    ApplicationDelegate controller;
    std::unique_ptr<QRNCPUMonitorItem> processor;
    QString service;
};

TEST_F(TrayMenuTest, OpeningTheMenuFillsInTheRowsInTheirOrder)
{
    const QDBusMessage shown = callMenu(QStringLiteral("AboutToShow"), {0});
    ASSERT_EQ(shown.type(), QDBusMessage::ReplyMessage) << qPrintable(shown.errorMessage());
    // The rows only get their values as the menu opens, so the host must read again.
    EXPECT_EQ(shown.arguments().value(0), QVariant(true));
    EXPECT_TRUE(processor->isMenuVisible());

    const auto layout = tray.menuLayout(service);
    ASSERT_TRUE(layout);
    const QString text = TestTray::menuText(*layout);
    EXPECT_TRUE(text.startsWith(QStringLiteral(
        "Process Load (disabled)\nUser: 25%\nSystem: 12.5%\nNice: 0%\nIdle: 62.5%\n-----\nProcesses: ")))
        << qPrintable(text);
    EXPECT_TRUE(text.endsWith(QStringLiteral("-----\nOpen System Monitor\nPreferences...\n"))) << qPrintable(text);
    // Row for row what the menu itself shows, graphs as pictures.
    QString plain = MenuText::of(*processor->statusItem()->menu());
    plain.replace(QRegularExpression(QStringLiteral("^graph of \\d+ values$"), QRegularExpression::MultilineOption),
        QStringLiteral("[image]"));
    plain.replace(QStringLiteral("Process Load\t\n"), QStringLiteral("Process Load (disabled)\n"));
    QStringList lines = plain.split(u'\n');
    for (QString& line : lines)
        line = DBusMenuRow::joinedPair(line);
    EXPECT_EQ(text.toStdString(), lines.join(u'\n').toStdString());

    closeMenu();
    EXPECT_FALSE(processor->isMenuVisible());
}

TEST_F(TrayMenuTest, AnOpenMenuFollowsTheTicksWithOnlyTheChangedRows)
{
    callMenu(QStringLiteral("AboutToShow"), {0});
    const auto layout = tray.menuLayout(service);
    ASSERT_TRUE(layout);
    const int user = TestTray::rowId(*layout, QStringLiteral("User: 25%"));
    const int nice = TestTray::rowId(*layout, QStringLiteral("Nice: 0%"));
    const int preferences = TestTray::rowId(*layout, QStringLiteral("Preferences..."));
    ASSERT_GE(user, 0);
    tray.clearSignals();

    tick(500, 125);
    ASSERT_TRUE(processEventsUntil([&] { return tray.signalCount(QStringLiteral("ItemsPropertiesUpdated")) == 1; }));
    const QMap<int, QVariantMap> rows = announcedProperties();
    EXPECT_EQ(rows.value(user).value(QStringLiteral("label")), QStringLiteral("User: 50%"));
    EXPECT_FALSE(rows.contains(nice));
    EXPECT_FALSE(rows.contains(preferences));
    EXPECT_EQ(tray.signalCount(QStringLiteral("LayoutUpdated")), 0);

    // Closed, the rows stand still and nothing is sent.
    closeMenu();
    tray.clearSignals();
    tick(750, 125);
    QCoreApplication::processEvents();
    tray.itemProperties(service);
    EXPECT_EQ(tray.signalCount(QStringLiteral("ItemsPropertiesUpdated")), 0);
}

TEST_F(TrayMenuTest, ChoosingPreferencesRunsTheCommand)
{
    // The host's way: AboutToShowGroup on opening, EventGroup with the click.
    const QDBusMessage shown = callMenu(QStringLiteral("AboutToShowGroup"), {QVariant::fromValue(QList<int>{0})});
    ASSERT_EQ(shown.type(), QDBusMessage::ReplyMessage) << qPrintable(shown.errorMessage());
    const auto layout = tray.menuLayout(service);
    ASSERT_TRUE(layout);
    const int preferences = TestTray::rowId(*layout, QStringLiteral("Preferences..."));
    ASSERT_GE(preferences, 0);
    ASSERT_TRUE(!controller.configurationWindow() || !controller.configurationWindow()->isVisible());

    const DBusMenuEventList events = {{preferences, QStringLiteral("clicked"), QDBusVariant(0), 0u}, {12345678, QStringLiteral("clicked"), QDBusVariant(0), 0u}};
    const QDBusMessage reply = callMenu(QStringLiteral("EventGroup"), {QVariant::fromValue(events)});
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << qPrintable(reply.errorMessage());
    // The unknown row is reported back, the known one runs.
    EXPECT_EQ(qdbus_cast<QList<int>>(reply.arguments().at(0)), QList<int>{12345678});
    ASSERT_TRUE(processEventsUntil(
        [&] { return controller.configurationWindow() && controller.configurationWindow()->isVisible(); }));
    EXPECT_TRUE(controller.isFullGUIEnabled());
    // Choosing a row closed the menu.
    EXPECT_FALSE(processor->isMenuVisible());
    controller.configurationWindow()->close();

    EXPECT_EQ(callMenu(QStringLiteral("GetProperty"), {4242, QStringLiteral("label")}).type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(callMenu(QStringLiteral("GetLayout"), {4242, -1, QStringList()}).type(), QDBusMessage::ErrorMessage);
}

} // namespace
