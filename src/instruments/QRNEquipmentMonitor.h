#pragma once

#include <QObject>
#include <QSet>
#include <QString>

#include <memory>
#include <vector>

class DeviceWatch;

inline constexpr const char* EquipmentWasAddedNotification = "QRNEquipmentWasAddedNotification";
inline constexpr const char* EquipmentWasRemovedNotification = "QRNEquipmentWasRemovedNotification";

// Turns device arrivals and departures into the application's equipment
// notifications ("ID", "Type" = "Disk" or "Net"), so items and pages can follow
// disks and interfaces without polling. Devices present when a watch is added
// are announced once then; a departure is announced once, with the ID of its
// arrival, and only for a device that was announced.
class QRNEquipmentMonitor : public QObject {
    Q_OBJECT
public:
    enum class Kind { Disk, Net };

    QRNEquipmentMonitor();
    ~QRNEquipmentMonitor() override;

    // The process-wide instance; the application controller keeps it alive from start-up.
    static QRNEquipmentMonitor& equipmentMonitor();

    void addWatch(Kind kind, std::unique_ptr<DeviceWatch> watch);
    bool isAnnounced(Kind kind, const QString& identification) const;

private:
    struct Watched {
        Kind kind;
        std::unique_ptr<DeviceWatch> watch;
        QSet<QString> announced;
    };
    void arrived(Watched& watched, const QString& identification);
    void departed(Watched& watched, const QString& identification);

    std::vector<std::unique_ptr<Watched>> m_watches;
};
