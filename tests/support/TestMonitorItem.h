#pragma once

#include "instruments/QRNSystemInstrument.h"
#include "items/MonitorItemClasses.h"
#include "items/QRNMonitorItem.h"

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
    // Registers classes "TestOne" and "TestOther" (1 s), "TestSlow" (5 s) and
    // "TestFast" (0.25 s); removes them again on destruction.
    struct Registration {
        Registration();
        ~Registration();
    };

private:
    QString m_name;
};
