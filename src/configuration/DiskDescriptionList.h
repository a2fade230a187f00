#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The disk page's table: every configured disk in its stored order, selected,
// online when attached now; then the attached disks nobody chose yet. Disks
// missing now keep their place and selection until they return.
class DiskDescriptionList {
public:
    struct Description {
        QString diskIdentification;
        bool isOnline = false;
        bool isSelected = false;
        bool operator==(const Description&) const = default;
    };

    // stored: the "MonitoredDisks" setting; present: the disks attached now.
    void recreate(const QStringList& stored, const QStringList& present);
    const std::vector<Description>& descriptions() const { return m_descriptions; }

    // False for an index out of range.
    bool setEnabled(bool enabled, size_t index);
    void enableMonitoringOfAllDisks(bool enabled);
    // An unknown disk that comes online joins unselected at the end; empty
    // identifications are ignored.
    void updateOnlineStatus(bool online, const QString& identification);
    // The table in a new order, given as the identifications in that order;
    // identifications not in the table are ignored, rows not named keep
    // their relative order at the end.
    void reorder(const QStringList& identifications);

    // The selected identifications in table order: what "MonitoredDisks" stores.
    QStringList monitoredDisks() const;

private:
    std::vector<Description> m_descriptions;
};
