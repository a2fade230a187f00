#include "configuration/ActivityDeviceTable.h"

#include <QDropEvent>

#include <algorithm>

ActivityDeviceTable::ActivityDeviceTable(const QString& deviceHeading, MoveHandler moved)
    : m_moved(std::move(moved))
{
    setColumnCount(2);
    setHeaderLabels({deviceHeading, tr("Coloured")});
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
}

void ActivityDeviceTable::dropEvent(QDropEvent* event)
{
    const QModelIndex target = indexAt(event->position().toPoint());
    const DropIndicatorPosition position = dropIndicatorPosition();
    // Only between rows of this table.
    if (event->source() != this || position == OnItem) {
        event->ignore();
        return;
    }
    size_t dropRow = target.isValid() ? size_t(target.row()) : size_t(topLevelItemCount());
    if (target.isValid() && position == BelowItem)
        ++dropRow;
    std::vector<size_t> rows;
    for (QTreeWidgetItem* item : selectedItems())
        rows.push_back(size_t(indexOfTopLevelItem(item)));
    std::sort(rows.begin(), rows.end());
    // Copy, not move: the view must not take the rows out itself after the drop.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    m_moved(rows, dropRow);
}
