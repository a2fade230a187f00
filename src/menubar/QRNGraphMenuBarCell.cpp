#include "menubar/QRNGraphMenuBarCell.h"

#include "menubar/MenuBarDrawing.h"

namespace {
double historyWidthFactor = 1.0;
} // namespace

QRNGraphMenuBarCell::QRNGraphMenuBarCell() = default;

void QRNGraphMenuBarCell::setWidthScalingFactor(double factor)
{
    if (isAcceptableScalingFactor(factor))
        historyWidthFactor = factor;
}

double QRNGraphMenuBarCell::widthScalingFactor()
{
    return historyWidthFactor;
}

std::unique_ptr<QRNGraphMenuBarCell> QRNGraphMenuBarCell::initWithDetailStringCode(const QString& detail)
{
    if (detail.size() != 2)
        return nullptr;
    const QChar series = detail[0];
    const QChar orientation = detail[1];
    if ((series != u'1' && series != u'2') || (orientation != u'N' && orientation != u'O'))
        return nullptr;
    auto cell = std::make_unique<QRNGraphMenuBarCell>();
    cell->setUsesSecondaryGraph(series == u'2');
    cell->setShowsOpposedGraphs(orientation == u'O');
    return cell;
}

void QRNGraphMenuBarCell::drawWithFrame(MenuBarDrawing& drawing, const QRectF& frame)
{
    m_bufferedGraph.setFrameColor(foreground());
    m_bufferedGraph.setGraphColor(foreground());
    m_bufferedGraph.drawInRect(drawing, frame);
}

QImage QRNGraphMenuBarCell::compactImage(int side, const QPalette& palette)
{
    return renderSquare(side, palette, [this](MenuBarDrawing& drawing, const QRectF& square) { drawWithFrame(drawing, square); });
}

QString QRNGraphMenuBarCell::stringCode() const
{
    return codeWithDetail(QString(usesSecondaryGraph() ? u'2' : u'1') + (showsOpposedGraphs() ? u'O' : u'N'));
}

double QRNGraphMenuBarCell::width() const
{
    return height() * 3 * historyWidthFactor;
}
