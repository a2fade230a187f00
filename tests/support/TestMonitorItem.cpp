#include "support/TestMonitorItem.h"

#include "platform/statusbar/StatusBar.h"
#include "platform/statusbar/StatusMenu.h"

namespace {

MonitorItemClass::Factory testFactory(const QString& name)
{
    return [name](const QStringList& cells) -> std::unique_ptr<QRNMonitorItem> {
        if (cells.isEmpty())
            return nullptr;
        return std::make_unique<TestMonitorItem>(name, cells);
    };
}

} // namespace

TestMonitorItem::TestMonitorItem(QString name, const QStringList& cells)
    : cells(cells)
    , m_name(std::move(name))
{
    adoptStatusItem(StatusBar::systemStatusBar().statusItemWithLength(StatusItem::VariableLength));
    statusItem()->setTitle(m_name);
    statusItem()->setAutosaveName(m_name);
    buildMenu();
    for (const auto& instrument : instrumentsForNextItems())
        addMonitorInstrument(instrument);
}

void TestMonitorItem::createMenuItemsInMenu(StatusMenu& menu)
{
    menu.addAction(m_name);
    QRNMonitorItem::createMenuItemsInMenu(menu);
}

void TestMonitorItem::updateInterfaceMenuBar(bool menuBar, bool menuItems)
{
    menuBarUpdates += menuBar;
    menuUpdates += menuItems && isMenuVisible();
}

std::vector<std::shared_ptr<QRNSystemInstrument>>& TestMonitorItem::instrumentsForNextItems()
{
    static std::vector<std::shared_ptr<QRNSystemInstrument>> instruments;
    return instruments;
}

TestItemClasses::TestItemClasses()
    : one(One, testFactory(One))
    , other(Other, testFactory(Other))
    , slow(Slow, testFactory(Slow))
    , fast(Fast, testFactory(Fast))
    , mainMenu([] { return std::make_unique<TestMonitorItem>(QStringLiteral("MainMenu"), QStringList()); })
{
}

TestItemClasses::~TestItemClasses()
{
    TestMonitorItem::instrumentsForNextItems().clear();
}
