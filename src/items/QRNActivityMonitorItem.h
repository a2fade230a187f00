#pragma once

#include "instruments/EquipmentObserver.h"
#include "items/QRNMonitorItem.h"

#include <QHash>
#include <QStringList>

#include <vector>

class QRNActivityInstrument;
class QRNStateMenuBarCell;

// Activity lamps: after an "HD" label one lamp per chosen disk, after a
// "NET" label one per chosen interface, each idle, incoming, outgoing,
// sleeping or without information. The item makes its cells itself from the
// chosen devices; devices that go away wait offline with their lamp style
// and come back when the equipment monitor announces them. Sampled four
// times a second, so a tick only compares states and redraws when a lamp
// changed.
class QRNActivityMonitorItem : public QRNMonitorItem {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "QRNActivityMonitorItem";
    static constexpr double DefaultMonitoringInterval = 0.25;

    QRNActivityMonitorItem();
    // suppressSerials: disks are named without their serial number in the menu.
    explicit QRNActivityMonitorItem(bool suppressSerials);
    ~QRNActivityMonitorItem() override;

    QString className() const override { return QLatin1String(ClassName); }
    // Any codes are ignored: the lamps follow the chosen devices.
    static std::unique_ptr<QRNMonitorItem> create(const QStringList& codes);
    static QStringList settingNames();

    bool initWithCellConfiguration(const QStringList& codes) override;
    void handleChangeOfUserDefault(const SettingsKey& key, const QVariant& value) override;
    void updateInterfaceMenuBar(bool menuBar, bool menuItems) override;

    bool isMonitoringDisks() const { return !m_monitoredDiskIdentifications.isEmpty(); }
    bool isMonitoringNetworkInterfaces() const { return !m_monitoredInterfaceNames.isEmpty(); }
    // Rebuilds the cells and the menu from the monitored devices.
    void autoconfigureMenu();

    void addDiskWithIdentification(const QString& identification, int displayStyle);
    void removeDiskWithIdentification(const QString& identification);
    void addInterfaceWithName(const QString& name, int displayStyle);
    void removeInterfaceWithName(const QString& name);
    void equipmentWasAdded(const QVariantMap& userInfo);
    void equipmentWasRemoved(const QVariantMap& userInfo);

    bool usesUpDownNetworkMarkers() const { return m_usesUpDownNetworkMarkers; }
    void setUsesUpDownNetworkMarkers(bool upDown) { m_usesUpDownNetworkMarkers = upDown; }
    bool cellUpdateInterlock() const { return m_cellUpdateInterlock; }
    void setCellUpdateInterlock(bool interlock) { m_cellUpdateInterlock = interlock; }
    bool suppressSerials() const { return m_suppressSerials; }
    const QStringList& monitoredDiskIdentifications() const { return m_monitoredDiskIdentifications; }
    const QHash<QString, int>& offlineDiskIdentifications() const { return m_offlineDiskIdentifications; }
    const std::vector<int>& diskDisplayStyles() const { return m_diskDisplayStyles; }
    const QStringList& monitoredInterfaceNames() const { return m_monitoredInterfaceNames; }
    const QHash<QString, int>& offlineInterfaceNames() const { return m_offlineInterfaceNames; }
    const std::vector<int>& netDisplayStyles() const { return m_netDisplayStyles; }

protected:
    void createMenuItemsInMenu(StatusMenu& menu) override;
    QString toolTipText() const override;

private:
    // Replaces the monitored devices of one kind with the setting's list.
    void takeDisks(const QVariantList& entries);
    void takeInterfaces(const QVariantList& entries);
    QRNActivityInstrument& activityInstrument(size_t index) const;

    bool m_usesUpDownNetworkMarkers = false;
    bool m_cellUpdateInterlock = false;
    bool m_suppressSerials = false;
    QStringList m_monitoredDiskIdentifications;
    QHash<QString, int> m_offlineDiskIdentifications;
    std::vector<int> m_diskDisplayStyles;
    QStringList m_monitoredInterfaceNames;
    QHash<QString, int> m_offlineInterfaceNames;
    std::vector<int> m_netDisplayStyles;
    // The lamps in instrument order, owned by the image; rebuilt with the cells.
    std::vector<QRNStateMenuBarCell*> m_lamps;
    EquipmentObserver m_equipment;
};
