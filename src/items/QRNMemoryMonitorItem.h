#pragma once

#include "items/GPUMenuRows.h"
#include "items/QRNMonitorItem.h"
#include "items/TopProcessRows.h"

#include <QPointer>

#include <vector>

class QRNMemoryInstrument;
class QRNGraphMenuView;

// The fraction of main memory in use in the bar — graph, percentage, bar,
// pie, or used and free amounts on two lines — and in the menu the memory
// split in the chosen terminology, an optional history graph, the five
// processes using most memory, the paging and swap figures, and the memory
// each graphics processor uses.
class QRNMemoryMonitorItem : public QRNMonitorItem {
    Q_OBJECT
public:
    QRNMemoryMonitorItem();
    // Tests pass an instrument over a saved machine.
    explicit QRNMemoryMonitorItem(std::shared_ptr<QRNMemoryInstrument> instrument);
    ~QRNMemoryMonitorItem() override;

    static constexpr char ClassName[] = "QRNMemoryMonitorItem";
    QString className() const override { return QLatin1String(ClassName); }
    static std::unique_ptr<QRNMonitorItem> create(const QStringList& codes);
    static QStringList defaultCellConfiguration();

    void updateInterfaceMenuBar(bool menuBar, bool menuItems) override;
    // The settings of the item's topic it understands besides its switch and cells.
    static QStringList settingNames();
    void handleChangeOfUserDefault(const SettingsKey& key, const QVariant& value) override;

    // In terminology 0, inactive memory counts as free.
    bool showsInactiveAsFree() const { return m_showsInactiveAsFree; }
    void setShowsInactiveAsFree(bool shows);
    // Process rows show sizes instead of percentages.
    bool showsMemoryBySize() const { return m_showsMemoryBySize; }
    void setShowsMemoryBySize(bool shows);
    bool isMemoryGraphEnabled() const { return m_isMemoryGraphEnabled; }
    void setIsMemoryGraphEnabled(bool enabled);
    // Page-ins and page-outs as byte amounts instead of page counts.
    bool showsSwapsAsBytes() const { return m_showsSwapsAsBytes; }
    void setShowsSwapsAsBytes(bool shows);
    // 0 UNIX style, 1 Mavericks style, 2 Yosemite style.
    quint32 terminologyStyle() const { return m_terminologyStyle; }
    void setTerminologyStyle(quint32 style);

    // Every graphics processor's memory in the menu; the processors are
    // those answering when the rows are switched on.
    bool isShowingGPUMemory() const { return m_gpuRows.isShown(); }
    void setIsShowingGPUMemory(bool shows);
    const QRNGPUInstrument::List& gpuInstruments() const { return m_gpuRows.gpuInstruments(); }

    // The five processes using most memory, as Vistrel Plus reports them.
    bool showsProcessStatistics() const { return m_processRows.isShown(); }
    void setShowsProcessStatistics(bool shows);
    QRNRemoteProcessInstrument* processInstrument() const { return m_processRows.processInstrument(); }

    QRNMemoryInstrument& memoryInstrument() const { return *m_instrument; }
    QRNGraphMenuView* memoryGraph() const;

    // Total and used memory in bytes in the current terminology.
    quint64 totalMemory() const;
    quint64 usedMemory() const;
    double usedFraction() const;
    QString toolTipText() const override;

protected:
    void customizeNewMenuBarCell(QRNMenuBarCell& cell) override;
    void createMenuItemsInMenu(StatusMenu& menu) override;
    // The paging counters are shown only in the menu and read only while it is open.
    void menuWillOpen() override;
    void menuDidClose() override;

private:
    void updateMenuRows(quint64 free);
    QString pageText(quint64 pages) const;

    std::shared_ptr<QRNMemoryInstrument> m_instrument;
    bool m_showsInactiveAsFree = false;
    bool m_showsMemoryBySize = false;
    bool m_isMemoryGraphEnabled = false;
    bool m_showsSwapsAsBytes = false;
    quint32 m_terminologyStyle = 0;
    QPointer<QRNGraphMenuView> m_memoryGraph;
    // Five rows in a known terminology, none otherwise.
    std::vector<QPointer<QRNTextPairView>> m_memoryUsageViews;
    QPointer<QRNTextPairView> m_swapInView;
    QPointer<QRNTextPairView> m_swapOutView;
    QPointer<QRNTextPairView> m_usedSwapView;
    GPUMenuRows m_gpuRows;
    TopProcessRows m_processRows;
};
