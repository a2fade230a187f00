#include "items/GPUMenuRows.h"

#include "menubar/QRNTextPairView.h"
#include "platform/statusbar/StatusMenu.h"

#include <algorithm>

std::optional<QRNMonitorItem::Instruments> GPUMenuRows::instrumentsAfterShowing(bool shown,
    const QRNMonitorItem::Instruments& current)
{
    if (shown == isShown())
        return std::nullopt;
    QRNMonitorItem::Instruments instruments = current;
    if (shown) {
        m_instruments = QRNGPUInstrument::instrumentsForAllGPUs();
        if (m_instruments.empty())
            return std::nullopt;
        instruments.insert(instruments.end(), m_instruments.begin(), m_instruments.end());
    } else {
        std::erase_if(instruments, [this](const auto& instrument) {
            return std::any_of(m_instruments.begin(), m_instruments.end(),
                [&instrument](const auto& gpu) { return gpu == instrument; });
        });
        m_instruments.clear();
    }
    return instruments;
}

void GPUMenuRows::createRows(QRNMonitorItem& item, StatusMenu& menu, const QString& heading)
{
    m_views.clear();
    if (m_instruments.empty())
        return;
    item.addTextPairView(heading, QString(), &menu);
    for (const auto& gpu : m_instruments) {
        QRNTextPairView* row = item.addTextPairView(gpu->modelName(), QString(), &menu);
        if (row)
            row->setLeftColor(MenuBarColor::System::Text);
        m_views.emplace_back(row);
    }
    menu.addSeparator();
}

void GPUMenuRows::updateRows(const std::function<QString(const QRNGPUInstrument&)>& text) const
{
    for (size_t i = 0; i < m_views.size() && i < m_instruments.size(); ++i) {
        if (m_views[i])
            m_views[i]->setRightStringValue(text(*m_instruments[i]));
    }
}
