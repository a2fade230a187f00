#include "menubar/QRNMenuBarItemImage.h"

#include "menubar/MenuBarDrawing.h"
#include "platform/log/Log.h"
#include "platform/statusbar/StatusBar.h"
#include "platform/statusbar/StatusItem.h"

namespace {
const QString ClassName = QStringLiteral("QRNMenuBarItemImage");
} // namespace

QRNMenuBarItemImage::QRNMenuBarItemImage(const QSizeF& size)
    : m_size(size)
{
    m_menuBarCells.reserve(10);
}

QRNMenuBarItemImage::~QRNMenuBarItemImage()
{
    setAssociatedView(nullptr);
}

void QRNMenuBarItemImage::addMenuBarCell(std::unique_ptr<QRNMenuBarCell> cell)
{
    if (!cell)
        return;
    if (m_menuBarCells.size() >= MaximumCellCount) {
        Log::error("%{public}@: an item shows at most %llu cells; the cell '%{public}@' is left out.",
            {ClassName, quint64(MaximumCellCount), cell->stringCode()});
        return;
    }
    cell->setIsHighlighted(m_isHighlighted);
    m_menuBarCells.push_back(std::move(cell));
    m_squares.reset();
    refreshCells();
}

void QRNMenuBarItemImage::setMenuBarCells(Cells cells)
{
    std::erase(cells, nullptr);
    if (cells.size() > MaximumCellCount) {
        Log::error("%{public}@: an item shows at most %llu cells; the others are left out.",
            {ClassName, quint64(MaximumCellCount)});
        cells.resize(MaximumCellCount);
    }
    for (const auto& cell : cells)
        cell->setIsHighlighted(m_isHighlighted);
    m_menuBarCells = std::move(cells);
    m_squares.reset();
    refreshCells();
}

void QRNMenuBarItemImage::removeMenuBarCellAtIndex(quint64 index)
{
    if (index >= m_menuBarCells.size()) {
        Log::error("Warning: attempt to remove menu bar cell with invalid index (%llu)!", {index});
        return;
    }
    m_menuBarCells.erase(m_menuBarCells.begin() + qsizetype(index));
    m_squares.reset();
    refreshCells();
}

void QRNMenuBarItemImage::refreshCells()
{
    recomputeLayout();
    if (!m_associatedView)
        return;
    const StatusBar& bar = m_associatedView->statusBar() ? *m_associatedView->statusBar() : StatusBar::systemStatusBar();
    const qreal ratio = bar.devicePixelRatio();
    const QPalette& palette = bar.palette();
    if (m_changedOnLastRefresh) {
        m_nextRecord.clear();
        const QImage image = render(ratio, palette, &m_nextRecord);
        m_changedOnLastRefresh = !nextRecordIsShown(ratio, palette);
        if (m_changedOnLastRefresh)
            handOver(image, ratio, palette);
        return;
    }
    if (showsCurrentDrawing(ratio, palette))
        return;
    m_changedOnLastRefresh = true;
    handOver(render(ratio, palette), ratio, palette);
}

void QRNMenuBarItemImage::handOver(const QImage& image, qreal devicePixelRatio, const QPalette& palette)
{
    m_associatedView->setImage(image);
    if (!m_shown)
        m_shown.emplace();
    std::swap(m_shown->record, m_nextRecord);
    m_shown->size = m_size;
    m_shown->devicePixelRatio = devicePixelRatio;
    m_shown->palette = palette;
}

bool QRNMenuBarItemImage::showsCurrentDrawing(qreal devicePixelRatio, const QPalette& palette)
{
    // Recording runs the cells' drawing code without painting a pixel, a
    // fraction of the cost of drawing; values that changed but look the same
    // (a percentage that rounds alike) record the same calls.
    m_nextRecord.clear();
    MenuBarDrawing drawing(m_nextRecord, m_size.height(), palette);
    drawMenuBarImage(drawing);
    return nextRecordIsShown(devicePixelRatio, palette);
}

bool QRNMenuBarItemImage::nextRecordIsShown(qreal devicePixelRatio, const QPalette& palette) const
{
    return m_shown && m_shown->record == m_nextRecord && m_shown->size == m_size
        && m_shown->devicePixelRatio == devicePixelRatio && m_shown->palette == palette;
}

void QRNMenuBarItemImage::drawMenuBarImage(MenuBarDrawing& drawing)
{
    for (std::size_t i = 0; i < m_drawnCellCount; ++i) {
        QRNMenuBarCell& cell = *m_menuBarCells[i];
        cell.drawWithFrame(drawing, QRectF(cell.offset(), 0, cell.width(), StatusBar::Thickness));
    }
}

void QRNMenuBarItemImage::recomputeLayout()
{
    m_drawnCellCount = 0;
    if (m_menuBarCells.empty())
        return;
    double height = m_size.height();
    if (height < StatusBar::Thickness) {
        Log::notice("WARNING: %{public}@ received request to set the height to %f. Correcting to standard size.",
            {ClassName, height});
        height = StatusBar::Thickness;
    }
    // Cells may change their width with their value, so the cut is made anew
    // on every layout; the first cell always shows.
    double x = 0;
    for (const auto& cell : m_menuBarCells) {
        if (m_drawnCellCount > 0 && x + cell->width() > MaximumWidth)
            break;
        cell->setOffset(x);
        x += cell->width();
        ++m_drawnCellCount;
    }
    m_size = QSizeF(std::min(x, MaximumWidth), height);
}

QImage QRNMenuBarItemImage::render(qreal devicePixelRatio, const QPalette& palette, DrawingRecord* record)
{
    // The first image while nobody else holds it, else the second, which is
    // made anew when it is held too.
    QImage& target = m_renderings[0].isNull() || m_renderings[0].isDetached() ? m_renderings[0] : m_renderings[1];
    MenuBarDrawing::renderInto(target, m_size, devicePixelRatio, palette,
        [this](MenuBarDrawing& drawing) { drawMenuBarImage(drawing); }, record);
    return target;
}

QImage QRNMenuBarItemImage::renderCompact(int side, const QPalette& palette) const
{
    if (m_squares && m_squares->palette == palette && m_squares->cellCount <= m_menuBarCells.size()) {
        m_squaresCheck.clear();
        recordCells(m_squaresCheck, m_squares->cellCount, palette);
        if (m_squaresCheck == m_squares->cells) {
            for (const auto& [kept, square] : m_squares->bySide) {
                if (kept == side)
                    return square;
            }
        } else {
            m_squares.reset();
        }
    }
    QImage square;
    std::size_t count = 0;
    while (count < m_menuBarCells.size() && square.isNull())
        square = m_menuBarCells[count++]->compactImage(side, palette);
    if (m_squares && m_squares->cellCount != count)
        m_squares.reset();
    if (!m_squares) {
        m_squares.emplace();
        recordCells(m_squares->cells, count, palette);
        m_squares->cellCount = count;
        m_squares->palette = palette;
    }
    m_squares->bySide.emplace_back(side, square);
    return square;
}

void QRNMenuBarItemImage::recordCells(DrawingRecord& record, std::size_t count, const QPalette& palette) const
{
    MenuBarDrawing drawing(record, StatusBar::Thickness, palette);
    for (std::size_t i = 0; i < count; ++i) {
        QRNMenuBarCell& cell = *m_menuBarCells[i];
        cell.drawWithFrame(drawing, QRectF(0, 0, cell.width(), StatusBar::Thickness));
    }
}

void QRNMenuBarItemImage::setAssociatedView(StatusItem* view)
{
    if (m_associatedView) {
        disconnect(m_associatedView, nullptr, this, nullptr);
        m_associatedView->setCompactImageSource(nullptr);
    }
    m_associatedView = view;
    m_shown.reset();
    if (!view)
        return;
    connect(view, &StatusItem::changed, this, &QRNMenuBarItemImage::associatedViewDidChange);
    view->setCompactImageSource([this](int side, const QPalette& palette) { return renderCompact(side, palette); });
}

void QRNMenuBarItemImage::setIsHighlighted(bool highlighted)
{
    m_isHighlighted = highlighted;
    for (const auto& cell : m_menuBarCells)
        cell->setIsHighlighted(highlighted);
    refreshCells();
}

void QRNMenuBarItemImage::associatedViewDidChange()
{
    // Setting the image reports a change too; only a new highlight redraws.
    if (m_associatedView && m_associatedView->isHighlighted() != m_isHighlighted)
        setIsHighlighted(m_associatedView->isHighlighted());
}
