#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QRNMonitorItem;

// The monitor-item classes the application can create, looked up by name.
// Each concrete item registers itself once; tests register their own.
struct MonitorItemClass {
    QString name;
    double defaultMonitoringInterval = 1.0;
    // Returns null when the item cannot be created (an empty configuration, say).
    std::function<std::unique_ptr<QRNMonitorItem>(const QStringList& cellConfiguration)> create;
    // True when the item is of this class or a subclass of it.
    std::function<bool(const QRNMonitorItem&)> isInstance;
};

class MonitorItemClasses {
public:
    static MonitorItemClasses& shared();

    void add(MonitorItemClass monitorItemClass);
    void remove(const QString& name);
    const MonitorItemClass* find(const QString& name) const;

    template <typename Item>
    void add(const QString& name, double interval)
    {
        add({name, interval,
            [](const QStringList& cells) -> std::unique_ptr<QRNMonitorItem> { return Item::create(cells); },
            [](const QRNMonitorItem& item) { return dynamic_cast<const Item*>(&item) != nullptr; }});
    }

    // Makes the item carrying the application menu; null until one is registered.
    std::function<std::unique_ptr<QRNMonitorItem>()> createMainMenuItem;

private:
    std::vector<MonitorItemClass> m_classes;
};
