#pragma once

#include "configuration/QRNMenuBarSimulatorView.h"

#include <QPointF>

#include <memory>
#include <vector>

// Strips of plain cells with distinct widths, so the widths read back tell the order.
namespace StripFixture {

// Adds cells of the widths with tooltips "tip 0", "tip 1", ... by position.
void fill(QRNMenuBarSimulatorView& view, const std::vector<double>& widths);
std::vector<double> widths(const QRNMenuBarSimulatorView& view);
QPointF pointOverCell(const QRNMenuBarSimulatorView& view, quint64 index);

// Counts the change announcements of one view, by signal and by notification.
class ChangeCounter {
public:
    explicit ChangeCounter(QRNMenuBarSimulatorView& view);
    ~ChangeCounter();
    ChangeCounter(const ChangeCounter&) = delete;
    ChangeCounter& operator=(const ChangeCounter&) = delete;

    int signals() const { return m_signals; }
    int notifications() const { return m_notifications; }

private:
    int m_signals = 0;
    int m_notifications = 0;
    quint64 m_token;
};

} // namespace StripFixture
