#pragma once

#include "instruments/EquipmentObserver.h"
#include "items/QRNMonitorItem.h"

#include <QPointer>
#include <QSet>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

class QRNDiskInstrument;

// Disk throughput: in the bar the bytes read and written per refresh over
// all monitored disks, as "R:"/"W:" text and as a two-series graph; in the
// menu one block per disk with its volumes, a graph, current and peak rates
// and the totals since its driver started. Disks are named by their
// identification; configured disks that are not attached wait offline and
// are taken up when the equipment monitor announces them.
class QRNDiskMonitorItem : public QRNMonitorItem {
    Q_OBJECT
public:
    static constexpr size_t ViewsPerDisk = 13;
    using DiskViews = std::array<QPointer<QWidget>, ViewsPerDisk>;

    // suppressSerials: disk titles in the menu leave out the serial number.
    // Titles follow the serial privacy switch of the physical disks.
    QRNDiskMonitorItem();
    explicit QRNDiskMonitorItem(bool suppressSerials);
    ~QRNDiskMonitorItem() override;

    static constexpr char ClassName[] = "QRNDiskMonitorItem";
    QString className() const override { return QLatin1String(ClassName); }
    static std::unique_ptr<QRNMonitorItem> create(const QStringList& codes);
    static QStringList settingNames();

    void handleChangeOfUserDefault(const SettingsKey& key, const QVariant& value) override;
    void updateInterfaceMenuBar(bool menuBar, bool menuItems) override;

    void addDiskWithIdentification(const QString& identification);
    void removeDiskWithIdentification(const QString& identification);
    void equipmentWasAdded(const QVariantMap& userInfo);
    void equipmentWasRemoved(const QVariantMap& userInfo);

    const QStringList& monitoredDiskIdentifications() const { return m_monitoredDiskIdentifications; }
    const QSet<QString>& offlineDiskIdentifications() const { return m_offlineDiskIdentifications; }
    const std::vector<quint64>& readBytesMaxima() const { return m_readBytesMaxima; }
    const std::vector<quint64>& writtenBytesMaxima() const { return m_writtenBytesMaxima; }
    const std::vector<DiskViews>& menuViewsPerDisk() const { return m_menuViewsPerDisk; }
    QRNDiskInstrument& diskInstrument(size_t index) const;
    bool suppressSerials() const { return m_suppressSerials; }
    bool showsOpposedGraphs() const { return m_showsOpposedGraphs; }
    void setShowsOpposedGraphs(bool shows) { m_showsOpposedGraphs = shows; }
    bool showsLocallyZoomedGraphs() const { return m_showsLocallyZoomedGraphs; }
    void setShowsLocallyZoomedGraphs(bool shows) { m_showsLocallyZoomedGraphs = shows; }

    // A volume list of 61 characters or more is cut to 58, a blank and an ellipsis.
    static QString shortenedVolumeList(const QString& list);
    QString toolTipText() const override;

protected:
    void customizeNewMenuBarCell(QRNMenuBarCell& cell) override;
    void createMenuItemsInMenu(StatusMenu& menu) override;

private:
    void pushTotalsIntoCells(quint64 read, quint64 written);
    void updateDiskBlock(size_t index);

    bool m_suppressSerials = false;
    bool m_showsOpposedGraphs = false;
    bool m_showsLocallyZoomedGraphs = false;
    QStringList m_monitoredDiskIdentifications;
    QSet<QString> m_offlineDiskIdentifications;
    std::vector<quint64> m_readBytesMaxima;
    std::vector<quint64> m_writtenBytesMaxima;
    std::vector<DiskViews> m_menuViewsPerDisk;
    // The totals the bar shows now; the texts are formatted again only when they change.
    quint64 m_shownRead = ~quint64(0);
    quint64 m_shownWritten = ~quint64(0);
    quint64 m_lastRead = 0;
    quint64 m_lastWritten = 0;
    EquipmentObserver m_equipment;
};
