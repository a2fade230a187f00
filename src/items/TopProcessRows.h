#pragma once

#include "extension/QRNRemoteProcessInstrument.h"
#include "items/QRNMonitorItem.h"

#include <QPointer>

#include <array>
#include <functional>
#include <optional>

class QRNTextPairView;
class StatusMenu;

// The five busiest-process rows the processor and memory items share: while
// shown, the shared process instrument in the item's list, and in the menu a
// heading with five rows filled from one of the instrument's lists.
class TopProcessRows {
public:
    static constexpr std::size_t RowCount = 5;
    using ProcessList = QList<std::shared_ptr<const VLPProcessEntry>>;
    // Which of the record's lists the rows show.
    using ListSelector = ProcessList VLPProcessInstrumentEntry::*;

    bool isShown() const { return m_instrument != nullptr; }
    QRNRemoteProcessInstrument* processInstrument() const { return m_instrument.get(); }

    // The item's instruments with the process instrument added, or with it
    // taken out; none when the rows already are as asked.
    std::optional<QRNMonitorItem::Instruments> instrumentsAfterShowing(bool shown, const QRNMonitorItem::Instruments& current);
    // Nothing while not shown.
    void createRows(QRNMonitorItem& item, StatusMenu& menu);
    // Each row a process of the list with its value; rows beyond the list say
    // there is no data, struck through when no record arrived at all.
    void updateRows(ListSelector list, const std::function<QString(const VLPProcessEntry&)>& value) const;

private:
    std::shared_ptr<QRNRemoteProcessInstrument> m_instrument;
    std::array<QPointer<QRNTextPairView>, RowCount> m_views;
};
