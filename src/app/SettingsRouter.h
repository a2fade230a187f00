#pragma once

#include "settings/SettingsKey.h"

#include <QString>
#include <QVariant>

#include <functional>

struct MonitorItemClass;
class QRNMonitorItem;

// Hands a written setting to whoever reacts to it: the controller, the live
// item of the key's topic, or nobody (it stays stored for a later item).
// Keys are matched by their exact topic and name.
class SettingsRouter {
public:
    enum class Target { None, Controller, Item };

    struct Receivers {
        // The "IsActive" setting of an item's topic changed.
        std::function<void(const MonitorItemClass&)> activationChanged;
        // The live item of a class, or null.
        std::function<QRNMonitorItem*(const QString& className)> liveItem;
    };

    explicit SettingsRouter(Receivers receivers);

    // The change report of the settings writer.
    void handleChangeOfValue(const QVariant& value, const QString& key);
    static Target targetForUserDefaultWithKey(const SettingsKey& key);
    // The controller's share of the settings.
    void handleChangeOfUserDefault(const SettingsKey& key, const QVariant& value);

    // Hands a new item every stored setting of its topic but its switch and cells.
    static void pushUserDefaultsToMonitorItem(QRNMonitorItem& item);
    // The class-wide display settings of the cells, applied once at launch.
    static void establishClassHandledPreferences();

private:
    void handlePreference(const SettingsKey& key, const QVariant& value);
    static void reportUnhandled(const SettingsKey& key);

    Receivers m_receivers;
};
