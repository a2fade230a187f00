#pragma once

#include "configuration/QRNMenuBarSimulatorView.h"

#include <QPointF>

#include <memory>
#include <vector>

// Strips of plain cells for the strip-view tests. Tests give the cells
// distinct widths, so the widths read back tell the order.
namespace StripFixture {

// Adds cells of the widths, with tooltips "tip 0", "tip 1", ... by position;
// the view is sized like a strip on a configuration page.
void fill(QRNMenuBarSimulatorView& view, const std::vector<double>& widths);
// The widths of the view's cells, left to right.
std::vector<double> widths(const QRNMenuBarSimulatorView& view);
// A point in the middle of the cell at the index.
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
