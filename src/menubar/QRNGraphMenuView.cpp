#include "menubar/QRNGraphMenuView.h"

#include "menubar/MenuBarDrawing.h"

#include <QPainter>

QRNGraphMenuView::QRNGraphMenuView(const QRect& frame, QWidget* parent)
    : QWidget(parent)
{
    setGeometry(frame);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_bufferedGraph.setFrameColor(MenuBarColor::System::Label);
    m_bufferedGraph.setGraphColor(MenuBarColor::System::Accent);
    m_bufferedGraph.setSecondaryGraphColor(MenuBarColor::System::Label);
    describeGraph();
}

void QRNGraphMenuView::setHorizontalOffsets(double offsets)
{
    m_bufferedGraph.setHorizontalOffsets(offsets);
    update();
}

void QRNGraphMenuView::addNewValue(double value)
{
    m_bufferedGraph.addNewValue(value);
    update();
}

void QRNGraphMenuView::addNewValue(double value, double secondaryValue)
{
    m_bufferedGraph.addNewValue(value, secondaryValue);
    update();
}

void QRNGraphMenuView::setCapacity(quint32 capacity)
{
    m_bufferedGraph.setCapacity(capacity);
    describeGraph();
}

void QRNGraphMenuView::setBufferedGraph(const QRNBufferedGraph& graph)
{
    m_bufferedGraph = graph;
    describeGraph();
}

QSize QRNGraphMenuView::sizeHint() const
{
    // Like the text rows, the graph asks for its frame and the menu stretches it.
    return size();
}

void QRNGraphMenuView::describeGraph()
{
    // The curve has no text; plain-text menus and screen readers get its extent.
    const quint32 capacity = m_bufferedGraph.capacity();
    setAccessibleName(capacity == 1 ? tr("graph of 1 value") : tr("graph of %1 values").arg(capacity));
}

void QRNGraphMenuView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    MenuBarDrawing drawing(painter, height(), palette());
    m_bufferedGraph.drawInRect(drawing, QRectF(0, 0, width(), height()));
}
