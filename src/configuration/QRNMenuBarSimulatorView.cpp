#include "configuration/QRNMenuBarSimulatorView.h"

#include "menubar/MenuBarDrawing.h"
#include "menubar/QRNSpacerMenuBarCell.h"
#include "platform/notifications/NotificationCenter.h"
#include "platform/statusbar/StatusBar.h"

#include <QPainter>

QRNMenuBarSimulatorView::QRNMenuBarSimulatorView(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
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
    refreshCells();
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
    double x = 0;
    for (const auto& cell : m_menuBarCells) {
        cell->setOffset(x);
        x += cell->width();
    }
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
    for (const auto& cell : m_menuBarCells)
        cell->drawWithFrame(drawing, QRectF(cell->offset(), 0, cell->width(), height()));
}

bool QRNMenuBarSimulatorView::event(QEvent* event)
{
    return QWidget::event(event);
}
