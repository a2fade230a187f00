#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QRNMonitorItem;

// One monitor-item class: the configuration topic it belongs to, its
// sampling interval, how to make one, and the settings of its topic it
// understands besides its switch and its cells.
struct MonitorItemClass {
    using Factory = std::function<std::unique_ptr<QRNMonitorItem>(const QStringList& cellConfiguration)>;

    QLatin1String topicName;
    QLatin1String name;
    double defaultMonitoringInterval = 1.0;
    // Empty while the item is not part of this version. Returns null when the
    // item cannot be created (an empty configuration, say).
    Factory create;
    QStringList settingNames;

    bool isAvailable() const { return bool(create); }
};

// The table of monitor-item classes, in the order configured items are
// activated. The controller, the configuration pages and the settings router
// all read it; tests swap a factory through a scoped guard.
class MonitorItemClasses {
public:
    using MainMenuFactory = std::function<std::unique_ptr<QRNMonitorItem>()>;

    static MonitorItemClasses& shared();

    const std::vector<MonitorItemClass>& rows() const { return m_rows; }
    const MonitorItemClass* find(const QString& className) const;
    const MonitorItemClass* findForTopic(const QString& topicName) const;

    // Replaces the factory of the named class and returns the previous one.
    MonitorItemClass::Factory setFactory(const QString& className, MonitorItemClass::Factory factory);

    // Makes the item carrying the application menu.
    MainMenuFactory createMainMenuItem;

private:
    MonitorItemClasses();

    std::vector<MonitorItemClass> m_rows;
};
