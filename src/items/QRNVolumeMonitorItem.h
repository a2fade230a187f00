#pragma once

#include "items/QRNMonitorItem.h"

#include <QPointer>

#include <array>
#include <functional>
#include <vector>

class MountMonitor;
class QRNFileSystemInstrument;
class QRNLevelIndicatorView;

// Space on the volumes the user chose: used and free summed over all of them
// in the bar (two lines of text, a fraction cell), and in the menu every
// volume with its name, used and free space and a level bar of what is left.
// A volume that goes away stays listed, struck through, and comes back by
// itself when it is mounted again.
class QRNVolumeMonitorItem : public QRNMonitorItem {
    Q_OBJECT
public:
    // Which figure counts as free space.
    enum FreeDefinition { AvailableCapacity = 0, OpportunisticCapacity = 1, ImportantCapacity = 2 };

    QRNVolumeMonitorItem();
    // Tests pass a monitor over a saved mount table.
    explicit QRNVolumeMonitorItem(MountMonitor& mounts);
    ~QRNVolumeMonitorItem() override;

    static constexpr char ClassName[] = "QRNVolumeMonitorItem";
    QString className() const override { return QLatin1String(ClassName); }
    static std::unique_ptr<QRNMonitorItem> create(const QStringList& codes);
    static QStringList settingNames();
    void handleChangeOfUserDefault(const SettingsKey& key, const QVariant& value) override;

    // Paths in the user's order; the same path may come twice.
    const QStringList& monitoredPaths() const { return m_monitoredPaths; }
    void addMonitoredPath(const QString& path);
    // Removes the first occurrence and its instrument.
    void removeMonitoredPath(const QString& path);
    // Every monitored path equal to the mount point goes offline or online
    // (back online, it is sampled at once).
    void updateOfflineStatus(bool offline, const QString& mountPoint);

    int freeDefinitionMode() const { return m_freeDefinitionMode; }
    void setFreeDefinitionMode(int mode);
    // Modes outside the known ones count as available capacity.
    static quint64 freeSpaceFromFileSystemInstrument(const QRNFileSystemInstrument& instrument, int mode);
    QRNFileSystemInstrument& fileSystemInstrument(size_t index) const;

    // Runs on every new instrument before its first sample (tests set its clock).
    void setInstrumentPreparation(std::function<void(QRNFileSystemInstrument&)> prepare) { m_prepareInstrument = std::move(prepare); }

    // The views of one volume in the menu: name, used, free, level.
    struct VolumeViews {
        QPointer<QRNTextPairView> name;
        QPointer<QRNTextPairView> used;
        QPointer<QRNTextPairView> free;
        QPointer<QRNLevelIndicatorView> level;
    };
    const std::vector<VolumeViews>& menuViewsPerVolume() const { return m_menuViewsPerVolume; }

    void updateInterfaceMenuBar(bool menuBar, bool menuItems) override;
    QString toolTipText() const override;

protected:
    void customizeNewMenuBarCell(QRNMenuBarCell& cell) override;
    void createMenuItemsInMenu(StatusMenu& menu) override;

private:
    void mountsChanged(const QStringList& mounted, const QStringList& unmounted);
    void updateMenuRows();
    // Used and free bytes summed over every volume.
    std::pair<quint64, quint64> totals() const;

    MountMonitor& m_mounts;
    QStringList m_monitoredPaths;
    int m_freeDefinitionMode = AvailableCapacity;
    std::vector<VolumeViews> m_menuViewsPerVolume;
    std::function<void(QRNFileSystemInstrument&)> m_prepareInstrument;
};
