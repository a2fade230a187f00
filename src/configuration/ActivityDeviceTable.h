#pragma once

#include <QTreeWidget>

#include <functional>
#include <vector>

// A table of the activity page: one row per device with a box to watch it
// and a box for a coloured lamp. Rows are reordered by dragging them between
// other rows of the same table; the table does not move them itself but
// reports the move, and its owner refills it.
class ActivityDeviceTable : public QTreeWidget {
    Q_OBJECT
public:
    // The rows dragged (table order) and the row they were dropped above.
    using MoveHandler = std::function<void(const std::vector<size_t>& rows, size_t dropRow)>;

    explicit ActivityDeviceTable(const QString& deviceHeading, MoveHandler moved);

protected:
    void dropEvent(QDropEvent* event) override;

private:
    MoveHandler m_moved;
};
