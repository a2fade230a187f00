#pragma once

#include "instruments/QRNGPUInstrument.h"
#include "items/QRNMonitorItem.h"

#include <QPointer>

#include <functional>
#include <optional>
#include <vector>

class QRNTextPairView;
class StatusMenu;

// The graphics-processor rows the processor and memory items share: while
// shown, every processor's instrument in the item's list (the list taken when
// switched on), and in the menu a heading with one row per processor.
class GPUMenuRows {
public:
    bool isShown() const { return !m_instruments.empty(); }
    const QRNGPUInstrument::List& gpuInstruments() const { return m_instruments; }

    // The item's instruments with all processors added, or with these rows'
    // ones taken out; none when the rows already are as asked (or, switched
    // on, no processor answers).
    std::optional<QRNMonitorItem::Instruments> instrumentsAfterShowing(bool shown, const QRNMonitorItem::Instruments& current);
    // Nothing without processors.
    void createRows(QRNMonitorItem& item, StatusMenu& menu, const QString& heading);
    // The right string of each row, from its processor.
    void updateRows(const std::function<QString(const QRNGPUInstrument&)>& text) const;

private:
    QRNGPUInstrument::List m_instruments;
    std::vector<QPointer<QRNTextPairView>> m_views;
};
