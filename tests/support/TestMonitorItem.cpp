#include "support/TestMonitorItem.h"

#include "platform/statusbar/StatusBar.h"
#include "platform/statusbar/StatusMenu.h"

namespace {
const QStringList TestClassNames = {QStringLiteral("TestOne"), QStringLiteral("TestOther"),
    QStringLiteral("TestSlow"), QStringLiteral("TestFast")};
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

TestMonitorItem::Registration::Registration()
{
    const double intervals[] = {1.0, 1.0, 5.0, 0.25};
    for (int i = 0; i < TestClassNames.size(); ++i) {
        const QString name = TestClassNames[i];
        MonitorItemClasses::shared().add({name, intervals[i],
            [name](const QStringList& cells) -> std::unique_ptr<QRNMonitorItem> {
                if (cells.isEmpty())
                    return nullptr;
                return std::make_unique<TestMonitorItem>(name, cells);
            },
            [name](const QRNMonitorItem& item) { return item.className() == name; }});
    }
}

TestMonitorItem::Registration::~Registration()
{
    for (const QString& name : TestClassNames)
        MonitorItemClasses::shared().remove(name);
    MonitorItemClasses::shared().createMainMenuItem = nullptr;
    instrumentsForNextItems().clear();
}
