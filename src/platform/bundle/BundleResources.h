#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// The read-only property lists compiled into the program: "Configuration"
// (the configuration window's topic tree) and "MenuBarCellConfigurations"
// (the cells each topic offers and starts with).
class BundleResources {
public:
    // The property list of that name; none, logged, when it is missing or unreadable.
    static std::optional<QVariant> propertyListNamed(const QString& name);
};
