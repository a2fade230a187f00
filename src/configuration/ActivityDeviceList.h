#pragma once

#include <QString>
#include <QVariantList>

#include <functional>
#include <optional>
#include <vector>

// One table of the activity page (disks or interfaces): every configured
// device in its stored order, selected, online when present now; then the
// present devices nobody chose yet. Devices that go away keep their row,
// marked offline.
class ActivityDeviceList {
public:
    struct Row {
        QString identification;
        // The interface's display name; empty for disks.
        QString displayName;
        bool isOnline = false;
        bool isSelected = false;
        // A coloured lamp instead of a monochrome one.
        bool is3State = false;
        bool operator==(const Row&) const = default;
    };
    struct Device {
        QString identification;
        QString displayName;
    };

    // The display name of a device the table may list; none for one it may not.
    using DisplayName = std::function<std::optional<QString>(const QString& identification)>;

    // stored: the setting's list of {"Identification", "TriState"}; present:
    // the devices there now. Stored entries the table may not list are left out.
    void recreate(const QVariantList& stored, const std::vector<Device>& present, const DisplayName& displayName);
    const std::vector<Row>& rows() const { return m_rows; }

    // False for an index out of range.
    bool setEnabled(bool enabled, size_t index);
    bool set3State(bool coloured, size_t index);
    void enableMonitoringOfAllDevices(bool enabled);
    // A known device only changes its online mark; an unknown one that comes
    // online joins unselected at the end. Empty identifications are ignored.
    void updateOnlineStatus(bool online, const Device& device);
    // Moves the rows at the indexes (in table order) to the place above
    // the row at dropRow, counted before the move. False when nothing moved.
    bool moveRows(const std::vector<size_t>& indexes, size_t dropRow);

    // The selected rows in table order, as the setting stores them.
    QVariantList monitoredDevices() const;

private:
    void append(const Row& row);
    int indexOf(const QString& identification) const;

    std::vector<Row> m_rows;
};
