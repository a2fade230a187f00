#pragma once

#include "items/MonitorItemClasses.h"

// Gives a class of the monitor-item table another factory for the life of
// the object (none makes it unavailable), then puts the real one back.
class ScopedMonitorItemFactory {
public:
    ScopedMonitorItemFactory(QString className, MonitorItemClass::Factory factory)
        : m_className(std::move(className))
        , m_previous(MonitorItemClasses::shared().setFactory(m_className, std::move(factory)))
    {
    }
    ~ScopedMonitorItemFactory() { MonitorItemClasses::shared().setFactory(m_className, std::move(m_previous)); }
    ScopedMonitorItemFactory(const ScopedMonitorItemFactory&) = delete;
    ScopedMonitorItemFactory& operator=(const ScopedMonitorItemFactory&) = delete;

private:
    QString m_className;
    MonitorItemClass::Factory m_previous;
};

// The same for the item carrying the application menu.
class ScopedMainMenuItemFactory {
public:
    explicit ScopedMainMenuItemFactory(MonitorItemClasses::MainMenuFactory factory)
        : m_previous(std::exchange(MonitorItemClasses::shared().createMainMenuItem, std::move(factory)))
    {
    }
    ~ScopedMainMenuItemFactory() { MonitorItemClasses::shared().createMainMenuItem = std::move(m_previous); }
    ScopedMainMenuItemFactory(const ScopedMainMenuItemFactory&) = delete;
    ScopedMainMenuItemFactory& operator=(const ScopedMainMenuItemFactory&) = delete;

private:
    MonitorItemClasses::MainMenuFactory m_previous;
};
