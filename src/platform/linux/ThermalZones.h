#pragma once

#include "platform/linux/Sysroot.h"

#include <QString>

#include <optional>
#include <vector>

// The kernel's thermal zones (/sys/class/thermal/thermal_zone*) and the
// thermal state they add up to: the worst zone's temperature against its
// own trip points.
class ThermalZones {
public:
    enum State { Nominal = 0, Fair = 1, Serious = 2, Critical = 3 };

    struct TripPoint {
        QString type;  // "passive", "active", "hot", "critical"
        long long milliCelsius = 0;
    };
    struct Zone {
        long long milliCelsius = 0;
        std::vector<TripPoint> tripPoints;
    };

    explicit ThermalZones(Sysroot root = Sysroot())
        : m_root(std::move(root))
    {
    }

    // Every zone whose temperature could be read, with its trip points.
    std::vector<Zone> read() const;
    // The state of the zones read now.
    State thermalState() const { return stateOfZones(read()); }

    // Passive reached → fair, hot → serious, critical → critical; a zone
    // without trip points is nominal. Trip points at or below 0 °C are
    // firmware placeholders for "none" and are ignored.
    static State stateOfZone(const Zone& zone);
    static State stateOfZones(const std::vector<Zone>& zones);
    // A decimal integer file ("45000\n"); none for anything else.
    static std::optional<long long> parseMilliCelsius(const QByteArray& text);

private:
    std::optional<Zone> readZone(const QString& folder) const;

    Sysroot m_root;
};
