#pragma once

#include "instruments/QRNSystemInstrument.h"
#include "items/QRNMonitorItem.h"
#include "support/ScopedMonitorItemClass.h"

#include <QMenu>

// Counts its samples.
class CountingInstrument : public QRNSystemInstrument {
public:
    void collectNewSample() override { ++samples; }
    QString className() const override { return QStringLiteral("CountingInstrument"); }
    int samples = 0;
};

// A monitor item with a status item, a one-row menu and the instruments a
// test gives it.
class TestMonitorItem : public QRNMonitorItem {
public:
    explicit TestMonitorItem(QString name, const QStringList& cells);
    QString className() const override { return m_name; }
    void updateInterfaceMenuBar(bool menuBar, bool menuItems) override;
    void createMenuItemsInMenu(StatusMenu& menu) override;
    using QRNMonitorItem::menu;
    using QRNMonitorItem::addMonitorInstrument;
    using QRNMonitorItem::setMonitorInstruments;
    QStringList cells;
    int menuBarUpdates = 0;
    int menuUpdates = 0;
    // Instruments every newly created item of the test classes starts with.
    static std::vector<std::shared_ptr<QRNSystemInstrument>>& instrumentsForNextItems();

private:
    QString m_name;
};

// Test items stand in for four classes of the table: "One" and "Other" share
// the 1-second group, "Slow" samples every 5 s and "Fast" four times a second.
// The main-menu item is a test item too.
struct TestItemClasses {
    static inline const QString One = QStringLiteral("QRNCPUMonitorItem");
    static inline const QString Other = QStringLiteral("QRNMemoryMonitorItem");
    static inline const QString Slow = QStringLiteral("QRNSensorMonitorItem");
    static inline const QString Fast = QStringLiteral("QRNActivityMonitorItem");

    TestItemClasses();
    ~TestItemClasses();

    ScopedMonitorItemFactory one, other, slow, fast;
    ScopedMainMenuItemFactory mainMenu;
};
