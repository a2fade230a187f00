#include "platform/linux/ThermalZones.h"

#include <algorithm>

namespace {

const QString ThermalFolder = QStringLiteral("sys/class/thermal/");

ThermalZones::State stateOfTripType(const QString& type)
{
    if (type == QLatin1String("critical"))
        return ThermalZones::Critical;
    if (type == QLatin1String("hot"))
        return ThermalZones::Serious;
    if (type == QLatin1String("passive"))
        return ThermalZones::Fair;
    // "active" trip points only switch fans on: nothing to worry about.
    return ThermalZones::Nominal;
}

}

std::optional<long long> ThermalZones::parseMilliCelsius(const QByteArray& text)
{
    bool ok = false;
    const long long value = text.trimmed().toLongLong(&ok);
    return ok ? std::optional<long long>(value) : std::nullopt;
}

ThermalZones::State ThermalZones::stateOfZone(const Zone& zone)
{
    State state = Nominal;
    for (const TripPoint& trip : zone.tripPoints)
        if (trip.milliCelsius > 0 && zone.milliCelsius >= trip.milliCelsius)
            state = std::max(state, stateOfTripType(trip.type));
    return state;
}

ThermalZones::State ThermalZones::stateOfZones(const std::vector<Zone>& zones)
{
    State worst = Nominal;
    for (const Zone& zone : zones)
        worst = std::max(worst, stateOfZone(zone));
    return worst;
}

std::vector<ThermalZones::Zone> ThermalZones::read() const
{
    std::vector<Zone> zones;
    for (const QString& name : m_root.entries(ThermalFolder))
        if (name.startsWith(QLatin1String("thermal_zone")))
            if (std::optional<Zone> zone = readZone(ThermalFolder + name + u'/'))
                zones.push_back(std::move(*zone));
    return zones;
}

std::optional<ThermalZones::Zone> ThermalZones::readZone(const QString& folder) const
{
    // A zone of a switched-off device answers its temperature with an error.
    const std::optional<QByteArray> temperature = m_root.read(folder + QStringLiteral("temp"));
    const std::optional<long long> milliCelsius = temperature ? parseMilliCelsius(*temperature) : std::nullopt;
    if (!milliCelsius)
        return std::nullopt;
    Zone zone {*milliCelsius, {}};
    for (int index = 0;; ++index) {
        const QString trip = folder + QStringLiteral("trip_point_%1_").arg(index);
        const QString type = m_root.text(trip + QStringLiteral("type"));
        if (type.isEmpty())
            break;
        const std::optional<QByteArray> text = m_root.read(trip + QStringLiteral("temp"));
        if (const std::optional<long long> tripTemperature = text ? parseMilliCelsius(*text) : std::nullopt)
            zone.tripPoints.push_back({type, *tripTemperature});
    }
    return zone;
}
