#include "items/TopProcessRows.h"

#include "menubar/QRNTextPairView.h"
#include "platform/statusbar/StatusMenu.h"

#include <QCoreApplication>

#include <algorithm>

std::optional<QRNMonitorItem::Instruments> TopProcessRows::instrumentsAfterShowing(bool shown,
    const QRNMonitorItem::Instruments& current)
{
    if (shown == isShown())
        return std::nullopt;
    QRNMonitorItem::Instruments instruments = current;
    if (shown) {
        m_instrument = QRNRemoteProcessInstrument::sharedProcessInstrument();
        instruments.push_back(m_instrument);
    } else {
        std::erase(instruments, m_instrument);
        m_instrument.reset();
    }
    return instruments;
}

void TopProcessRows::createRows(QRNMonitorItem& item, StatusMenu& menu)
{
    m_views = {};
    if (!isShown())
        return;
    item.addTextPairView(QCoreApplication::translate("TopProcessRows", "Top 5 Processes"), QString(), &menu);
    for (QPointer<QRNTextPairView>& view : m_views) {
        view = item.addTextPairView(QString(), QString(), &menu);
        if (view)
            view->setLeftColor(MenuBarColor::System::Text);
    }
    menu.addSeparator();
}

void TopProcessRows::updateRows(ListSelector list, const std::function<QString(const VLPProcessEntry&)>& value) const
{
    if (!m_instrument)
        return;
    // One reference, so every row comes from the same record.
    const std::shared_ptr<const VLPProcessInstrumentEntry> record = m_instrument->receivedEntry();
    const ProcessList processes = record ? (*record).*list : ProcessList();
    const bool struck = !record;
    const QString noData = QCoreApplication::translate("TopProcessRows", "-No data-");
    for (std::size_t row = 0; row < RowCount; ++row) {
        QRNTextPairView* view = m_views[row];
        if (!view)
            continue;
        const bool listed = qsizetype(row) < processes.size();
        view->setLeftStringValue(listed ? processes[qsizetype(row)]->processName : noData, struck);
        view->setRightStringValue(listed ? value(*processes[qsizetype(row)]) : noData, struck);
    }
}
