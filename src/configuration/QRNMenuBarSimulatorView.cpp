#include "configuration/QRNMenuBarSimulatorView.h"

#include "menubar/MenuBarDrawing.h"
#include "menubar/QRNSpacerMenuBarCell.h"
#include "platform/defaults/PropertyList.h"
#include "platform/log/Log.h"
#include "platform/notifications/NotificationCenter.h"
#include "platform/statusbar/StatusBar.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHelpEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

namespace {

constexpr char ClassName[] = "QRNMenuBarSimulatorView";
const QString CellIndexKey = QStringLiteral("CellIndex");
const QString CellCodeKey = QStringLiteral("CellCode");

// The accent colour where this Qt knows one, else the selection colour.
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
constexpr QPalette::ColorRole DragMarkerRole = QPalette::Accent;
#else
constexpr QPalette::ColorRole DragMarkerRole = QPalette::Highlight;
#endif
constexpr double DragMarkerLineWidth = 3.0;
constexpr double DragMarkerRadius = 3.0;
constexpr double DragMarkerTopInset = 4.0;

// Moves the entry at oldIndex to the marker position: it is inserted at the
// marker first, so the old entry is found one place further right when the
// marker lies at or before it.
template <typename List>
void moveEntry(List& list, qsizetype oldIndex, qsizetype markerIndex)
{
    list.insert(list.begin() + markerIndex, typename List::value_type());
    const qsizetype staleIndex = markerIndex > oldIndex ? oldIndex : oldIndex + 1;
    list[markerIndex] = std::move(list[staleIndex]);
    list.erase(list.begin() + staleIndex);
}

} // namespace

QRNMenuBarSimulatorView::QRNMenuBarSimulatorView(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAcceptDrops(true);
}

QRNMenuBarSimulatorView::~QRNMenuBarSimulatorView() = default;

void QRNMenuBarSimulatorView::addMenuBarCell(std::unique_ptr<QRNMenuBarCell> cell, const QString& toolTipString)
{
    if (!cell)
        return;
    if (auto* spacer = dynamic_cast<QRNSpacerMenuBarCell*>(cell.get()))
        spacer->setIsShowingLayoutFrame(true);
    m_menuBarCells.push_back(std::move(cell));
    m_toolTipStrings.append(toolTipString);
    // Only the new cell is laid out, so that filling a strip stays linear.
    layOutCellAtIndex(m_menuBarCells.size() - 1);
    update();
}

void QRNMenuBarSimulatorView::removeMenuBarCellAtIndex(quint64 index)
{
    if (index >= m_menuBarCells.size())
        return;
    m_menuBarCells.erase(m_menuBarCells.begin() + qsizetype(index));
    m_toolTipStrings.removeAt(qsizetype(index));
    refreshCells();
}

void QRNMenuBarSimulatorView::removeAllMenuBarCells()
{
    m_menuBarCells.clear();
    m_toolTipStrings.clear();
    refreshCells();
}

QRNMenuBarCell* QRNMenuBarSimulatorView::menuBarCellAtIndex(quint64 index) const
{
    return index < m_menuBarCells.size() ? m_menuBarCells[index].get() : nullptr;
}

quint64 QRNMenuBarSimulatorView::indexOfCell(const QRNMenuBarCell* cell) const
{
    for (size_t i = 0; i < m_menuBarCells.size(); ++i) {
        if (m_menuBarCells[i].get() == cell)
            return i;
    }
    return NotFound;
}

QPointF QRNMenuBarSimulatorView::locationOfCell(const QRNMenuBarCell* cell) const
{
    double x = 0;
    for (const auto& each : m_menuBarCells) {
        if (each.get() == cell)
            break;
        x += each->width();
    }
    return {x, 0};
}

QRNMenuBarCell* QRNMenuBarSimulatorView::cellAtPoint(const QPointF& point) const
{
    if (!QRectF(rect()).contains(point))
        return nullptr;
    double x = 0;
    for (const auto& cell : m_menuBarCells) {
        if (point.x() >= x && point.x() < x + cell->width())
            return cell.get();
        x += cell->width();
    }
    return nullptr;
}

QStringList QRNMenuBarSimulatorView::cellCodes() const
{
    QStringList codes;
    for (const auto& cell : m_menuBarCells)
        codes.append(cell->stringCode());
    return codes;
}

double QRNMenuBarSimulatorView::cellsWidth() const
{
    double width = 0;
    for (const auto& cell : m_menuBarCells)
        width += cell->width();
    return width;
}

void QRNMenuBarSimulatorView::refreshCells()
{
    recomputeLayout();
    update();
}

void QRNMenuBarSimulatorView::recomputeLayout()
{
    m_toolTipIndexesByTags.clear();
    m_toolTipRectsByTags.clear();
    for (size_t i = 0; i < m_menuBarCells.size(); ++i)
        layOutCellAtIndex(i);
}

void QRNMenuBarSimulatorView::layOutCellAtIndex(size_t index)
{
    const QRNMenuBarCell* previous = index > 0 ? m_menuBarCells[index - 1].get() : nullptr;
    const double x = previous ? previous->offset() + previous->width() : 0;
    QRNMenuBarCell& cell = *m_menuBarCells[index];
    cell.setOffset(x);
    const int tag = m_nextToolTipTag++;
    m_toolTipRectsByTags[tag] = QRectF(x, 0, cell.width(), height());
    m_toolTipIndexesByTags[tag] = index;
}

QString QRNMenuBarSimulatorView::toolTipAtPoint(const QPointF& point) const
{
    const std::optional<int> tag = toolTipTagAtPoint(point);
    return tag ? m_toolTipStrings.value(qsizetype(m_toolTipIndexesByTags.at(*tag))) : QString();
}

std::optional<int> QRNMenuBarSimulatorView::toolTipTagAtPoint(const QPointF& point) const
{
    for (const auto& [tag, area] : m_toolTipRectsByTags) {
        if (area.contains(point))
            return tag;
    }
    return std::nullopt;
}

bool QRNMenuBarSimulatorView::hasRoomToInsertCell(const QRNMenuBarCell* cell) const
{
    return !cell || cellsWidth() + cell->width() <= MaximumWidth;
}

void QRNMenuBarSimulatorView::sendChangeNotification()
{
    Q_EMIT menuBarConfigurationDidChange(this);
    NotificationCenter::defaultCenter().post(ChangeNotificationName);
}

void QRNMenuBarSimulatorView::removeDragMarker()
{
    m_dragMarkerIndex = NotFound;
    update();
}

QSize QRNMenuBarSimulatorView::sizeHint() const
{
    return {int(MaximumWidth), int(StatusBar::Thickness)};
}

void QRNMenuBarSimulatorView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    MenuBarDrawing drawing(painter, height(), palette());
    drawing.strokeLine(0, 0.5, width() - 1, 0.5, drawing.color(MenuBarColor::System::SecondaryLabel), 1);
    for (size_t i = 0; i < m_menuBarCells.size(); ++i) {
        QRNMenuBarCell& cell = *m_menuBarCells[i];
        cell.drawWithFrame(drawing, QRectF(cell.offset(), 0, cell.width(), height()));
        if (m_dragMarkerIndex == i)
            drawDragMarker(drawing, cell.offset());
    }
    if (m_dragMarkerIndex == m_menuBarCells.size()) {
        const double end = m_menuBarCells.empty() ? 0 : m_menuBarCells.back()->offset() + m_menuBarCells.back()->width();
        drawDragMarker(drawing, end);
    }
}

void QRNMenuBarSimulatorView::drawDragMarker(MenuBarDrawing& drawing, double x) const
{
    const double top = height() - DragMarkerTopInset;
    QPainterPath path;
    path.moveTo(drawing.point(x, 0));
    path.lineTo(drawing.point(x, top));
    path.addEllipse(drawing.point(x, top), DragMarkerRadius, DragMarkerRadius);
    drawing.strokePath(path, palette().color(QPalette::Active, DragMarkerRole), DragMarkerLineWidth);
}

bool QRNMenuBarSimulatorView::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const std::optional<int> tag = toolTipTagAtPoint(help->pos());
    const QString text = toolTipAtPoint(help->pos());
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        // Leaving the cell's area hides the text, so the next cell can show its own.
        QToolTip::showText(help->globalPos(), text, this, m_toolTipRectsByTags.at(*tag).toAlignedRect());
    }
    return true;
}

void QRNMenuBarSimulatorView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    recomputeLayout();
}

void QRNMenuBarSimulatorView::mousePressEvent(QMouseEvent* event)
{
    m_pressPoint.reset();
    if (event->button() != Qt::LeftButton || !cellAtPoint(event->position())) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressPoint = event->position();
}

void QRNMenuBarSimulatorView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressPoint || !(event->buttons() & Qt::LeftButton)
        || (event->position() - *m_pressPoint).manhattanLength() < QApplication::startDragDistance()) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPointF grab = *m_pressPoint;
    m_pressPoint.reset();
    dragCellAtIndex(indexOfCell(cellAtPoint(grab)), grab);
}

void QRNMenuBarSimulatorView::dragCellAtIndex(quint64 index, const QPointF& grab)
{
    std::unique_ptr<QMimeData> data = beginDraggingCellAtIndex(index);
    if (!data)
        return;
    QRNMenuBarCell& cell = *m_menuBarCells[index];
    // Qt deletes the drag once it is over.
    auto* drag = new QDrag(this);
    drag->setPixmap(QPixmap::fromImage(cell.cellImage(devicePixelRatioF(), palette())));
    drag->setHotSpot((grab - locationOfCell(&cell)).toPoint());
    drag->setMimeData(data.release());
    draggingSessionEnded(drag->exec(Qt::CopyAction | Qt::MoveAction));
}

std::unique_ptr<QMimeData> QRNMenuBarSimulatorView::beginDraggingCellAtIndex(quint64 index)
{
    const QRNMenuBarCell* cell = menuBarCellAtIndex(index);
    if (!cell)
        return nullptr;
    const QVariantMap description = {{CellIndexKey, qulonglong(index)}, {CellCodeKey, cell->stringCode()}};
    const std::optional<QByteArray> xml = PropertyList::toXML(description);
    if (!xml)
        return nullptr;
    m_dragCellDescription = description;
    auto data = std::make_unique<QMimeData>();
    data->setData(QString::fromLatin1(DragType), *xml);
    return data;
}

void QRNMenuBarSimulatorView::draggingSessionEnded(Qt::DropAction operation)
{
    const bool taken = operation == Qt::CopyAction || operation == Qt::MoveAction;
    if (!m_isItemSource && !taken && m_dragCellDescription) {
        const quint64 index = m_dragCellDescription->value(CellIndexKey).toULongLong();
        if (index < countOfMenuBarCells()) {
            removeMenuBarCellAtIndex(index);
            sendChangeNotification();
        }
    }
    m_dragCellDescription.reset();
}

std::optional<quint64> QRNMenuBarSimulatorView::cellIndexOfDragData(const QMimeData& data)
{
    const QString type = QString::fromLatin1(DragType);
    if (!data.hasFormat(type))
        return std::nullopt;
    const std::optional<QVariant> description = PropertyList::fromData(data.data(type));
    if (!description || description->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    bool isNumber = false;
    const quint64 index = description->toMap().value(CellIndexKey).toULongLong(&isNumber);
    return isNumber ? std::optional<quint64>(index) : std::nullopt;
}

Qt::DropAction QRNMenuBarSimulatorView::draggingUpdated(const QMimeData& data, const QObject* source,
    Qt::DropActions sourceActions, const QPointF& point)
{
    if (m_isItemSource || !data.hasFormat(QString::fromLatin1(DragType)))
        return Qt::IgnoreAction;
    const Qt::DropAction operation = source == this ? Qt::MoveAction : Qt::CopyAction;
    const QRNMenuBarCell* cell = cellAtPoint(point);
    m_dragMarkerIndex = cell ? indexOfCell(cell) : countOfMenuBarCells();
    update();
    return sourceActions.testFlag(operation) ? operation : Qt::IgnoreAction;
}

bool QRNMenuBarSimulatorView::performDragOperation(const QMimeData& data, const QObject* source)
{
    const std::optional<quint64> index = cellIndexOfDragData(data);
    if (!index)
        return false;
    // The marker is NotFound, beyond every cell, when none is shown.
    if (m_dragMarkerIndex > countOfMenuBarCells()) {
        Log::error("%{public}@: dropped a menu-bar cell where no drag marker is shown.", {QString::fromLatin1(ClassName)});
        return false;
    }
    const quint64 markerIndex = m_dragMarkerIndex;
    removeDragMarker();
    const auto* sourceView = qobject_cast<const QRNMenuBarSimulatorView*>(source);
    const bool accepted = sourceView == this ? moveCell(*index, markerIndex)
                                             : sourceView && insertCopyOfCell(*sourceView, *index, markerIndex);
    if (accepted) {
        refreshCells();
        sendChangeNotification();
    }
    return accepted;
}

bool QRNMenuBarSimulatorView::moveCell(quint64 oldIndex, quint64 markerIndex)
{
    if (oldIndex >= countOfMenuBarCells())
        return false;
    moveEntry(m_menuBarCells, qsizetype(oldIndex), qsizetype(markerIndex));
    moveEntry(m_toolTipStrings, qsizetype(oldIndex), qsizetype(markerIndex));
    return true;
}

bool QRNMenuBarSimulatorView::insertCopyOfCell(const QRNMenuBarSimulatorView& source, quint64 index, quint64 markerIndex)
{
    const QRNMenuBarCell* original = source.menuBarCellAtIndex(index);
    if (!original)
        return false;
    std::unique_ptr<QRNMenuBarCell> cell = original->copy();
    if (!hasRoomToInsertCell(cell.get())) {
        QApplication::beep();
        return false;
    }
    m_menuBarCells.insert(m_menuBarCells.begin() + qsizetype(markerIndex), std::move(cell));
    m_toolTipStrings.insert(qsizetype(markerIndex), QString());
    return true;
}

void QRNMenuBarSimulatorView::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void QRNMenuBarSimulatorView::dragMoveEvent(QDragMoveEvent* event)
{
    const Qt::DropAction operation =
        draggingUpdated(*event->mimeData(), event->source(), event->possibleActions(), event->position());
    if (operation == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(operation);
    event->accept();
}

void QRNMenuBarSimulatorView::dragLeaveEvent(QDragLeaveEvent*)
{
    removeDragMarker();
}

void QRNMenuBarSimulatorView::dropEvent(QDropEvent* event)
{
    const Qt::DropAction operation = event->source() == this ? Qt::MoveAction : Qt::CopyAction;
    if (!performDragOperation(*event->mimeData(), event->source())) {
        event->ignore();
        return;
    }
    event->setDropAction(operation);
    event->accept();
}
