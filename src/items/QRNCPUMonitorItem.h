#pragma once

#include "items/GPUMenuRows.h"
#include "items/QRNMonitorItem.h"
#include "items/TopProcessRows.h"

#include <QPointer>

#include <array>
#include <vector>

class QRNCPULoadInstrument;
class QRNGraphMenuView;

// Processor load in the bar — the total, or one group of cells per logical
// processor — and in the menu: user, system, nice and idle time, optional
// per-processor history graphs, the graphics processors' loads, the five
// busiest processes, the process count and the time since start.
class QRNCPUMonitorItem : public QRNMonitorItem {
    Q_OBJECT
public:
    QRNCPUMonitorItem();
    // The processor count is taken from the instrument; tests pass their own.
    explicit QRNCPUMonitorItem(std::shared_ptr<QRNCPULoadInstrument> instrument);
    ~QRNCPUMonitorItem() override;

    static constexpr char ClassName[] = "QRNCPUMonitorItem";
    QString className() const override { return QLatin1String(ClassName); }
    static std::unique_ptr<QRNMonitorItem> create(const QStringList& codes);
    static QStringList defaultCellConfiguration();

    void updateInterfaceMenuBar(bool menuBar, bool menuItems) override;
    QString toolTipText() const override;
    void createNewMenuBarCellsWithConfigurationCodes(const QStringList& codes) override;
    // The settings of the item's topic it understands besides its switch and cells.
    static QStringList settingNames();
    void handleChangeOfUserDefault(const SettingsKey& key, const QVariant& value) override;

    bool showsIndividualLoadsInBar() const { return m_showsIndividualLoadsInBar; }
    void setShowsIndividualLoadsInBar(bool shows);
    void setIsDetailGraphEnabled(bool enabled, quint64 index);
    bool isDetailGraphEnabled(quint64 index) const;
    quint64 cpuCount() const { return m_cpuCount; }
    // Every graphics processor's load in the menu; the processors are those
    // answering when the rows are switched on.
    bool showsGPULoads() const { return m_gpuRows.isShown(); }
    void setShowsGPULoads(bool shows);
    const QRNGPUInstrument::List& gpuInstruments() const { return m_gpuRows.gpuInstruments(); }
    // The five processes using most processor time, as Vistrel Plus reports them.
    bool showsProcessStatistics() const { return m_processRows.isShown(); }
    void setShowsProcessStatistics(bool shows);
    QRNRemoteProcessInstrument* processInstrument() const { return m_processRows.processInstrument(); }

    // Opens the desktop's own system monitor; nothing when none is installed.
    void openActivityMonitor();

    bool initWithCellConfiguration(const QStringList& codes) override;

protected:
    void customizeNewMenuBarCell(QRNMenuBarCell& cell) override;
    void createMenuItemsInMenu(StatusMenu& menu) override;

private:
    QRNCPULoadInstrument& cpuInstrument() const { return *m_instrument; }
    void pushLoadsIntoCells();
    // Processors went on- or offline: rows, graphs and cells follow the new count.
    void adoptProcessorCount(quint64 count);

    std::shared_ptr<QRNCPULoadInstrument> m_instrument;
    bool m_showsIndividualLoadsInBar = false;
    quint64 m_cpuCount = 0;
    // With individual loads: the cells each processor owns, side by side.
    std::size_t m_cellsPerProcessor = 0;
    QStringList m_lastConfigurationCodes;
    std::vector<bool> m_isDetailGraphEnabledForCPU;
    std::vector<QPointer<QRNGraphMenuView>> m_cpuGraphs;
    std::array<QPointer<QRNTextPairView>, 4> m_cpuLoadViews;
    QPointer<QRNTextPairView> m_processCountView;
    QPointer<QRNTextPairView> m_uptimeView;
    GPUMenuRows m_gpuRows;
    TopProcessRows m_processRows;
};
