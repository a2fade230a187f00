#pragma once

#include "menubar/DrawingRecord.h"
#include "menubar/QRNMenuBarCell.h"
#include "platform/statusbar/StatusItem.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSizeF>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class MenuBarDrawing;

// The image of one status item: the owning monitor item's row of cells, laid
// out left to right without gaps and drawn side by side on the image's
// bottom edge. Settings may ask for any number of cells; the image holds at
// most MaximumCellCount and draws those that fit into MaximumWidth, so that
// neither memory nor drawing grows without bound and no item outgrows a
// screen. Every refresh lays the cells out again and hands a rendering, at the
// bar's device pixel ratio and in its palette, to the associated status item;
// a refresh after which the cells would paint what the status item already
// shows draws and hands over nothing. Two images are kept and drawn into in
// turn: the one the status item does not hold any more is drawn over in place.
class QRNMenuBarItemImage : public QObject {
    Q_OBJECT
public:
    using Cells = std::vector<std::unique_ptr<QRNMenuBarCell>>;

    static constexpr std::size_t MaximumCellCount = 256;
    // Points; wider than any screen's menu bar has room for.
    static constexpr double MaximumWidth = 2048;

    // The size of the status item's button, in points.
    explicit QRNMenuBarItemImage(const QSizeF& size);
    ~QRNMenuBarItemImage() override;

    // A null cell is ignored, and so is one beyond the maximum count.
    void addMenuBarCell(std::unique_ptr<QRNMenuBarCell> cell);
    // Replaces every cell at once, laying out and redrawing once; cells
    // beyond the maximum count are dropped and reported.
    void setMenuBarCells(Cells cells);
    // An index past the end is reported and changes nothing.
    void removeMenuBarCellAtIndex(quint64 index);
    // Lays out again and redraws the associated status item.
    void refreshCells();
    // Draws every cell at its offset, as high as the status bar is thick.
    void drawMenuBarImage(MenuBarDrawing& drawing);
    void recomputeLayout();

    // The cells drawn at the ratio in the palette, size() points large; their
    // calls go into the record too, when one is given.
    QImage render(qreal devicePixelRatio, const QPalette& palette, DrawingRecord* record = nullptr);
    // The first cell that shows something, in a square of side pixels; null
    // without one.
    QImage renderCompact(int side, const QPalette& palette) const;

    QSizeF size() const { return m_size; }
    const Cells& menuBarCells() const { return m_menuBarCells; }
    // The leading cells that fit into the maximum width, as last laid out.
    std::size_t drawnCellCount() const { return m_drawnCellCount; }
    StatusItem* associatedView() const { return m_associatedView; }
    // The status item that shows the image; its highlight is followed, and
    // it draws its square form through renderCompact.
    void setAssociatedView(StatusItem* view);

    // While highlighted, the cells draw in the selected-menu-item text colour.
    bool isHighlighted() const { return m_isHighlighted; }
    void setIsHighlighted(bool highlighted);

private:
    void associatedViewDidChange();
    // Whether the cells, drawn now, would paint what the status item shows.
    bool showsCurrentDrawing(qreal devicePixelRatio, const QPalette& palette);
    // Whether the next record is what the status item shows, at the ratio in the palette.
    bool nextRecordIsShown(qreal devicePixelRatio, const QPalette& palette) const;
    void handOver(const QImage& image, qreal devicePixelRatio, const QPalette& palette);
    // The drawing of the first `count` cells, each in a frame of its own.
    void recordCells(DrawingRecord& record, std::size_t count, const QPalette& palette) const;

    QSizeF m_size;
    Cells m_menuBarCells;
    std::size_t m_drawnCellCount = 0;
    QPointer<StatusItem> m_associatedView;
    std::array<QImage, 2> m_renderings;
    // What the status item was last given, and the drawing of this refresh.
    struct Shown {
        DrawingRecord record;
        QSizeF size;
        qreal devicePixelRatio = 0;
        QPalette palette;
    };
    std::optional<Shown> m_shown;
    DrawingRecord m_nextRecord;
    // An image that changed on the last refresh is likely to change on this
    // one (a graph moves on every tick): it is drawn and recorded in one pass
    // of the cells, instead of recorded first and then drawn.
    bool m_changedOnLastRefresh = false;
    // A cell's square shows what the cell draws in the bar: while the cells
    // up to the one that shows draw the same, its squares are the ones made.
    struct Squares {
        DrawingRecord cells;
        std::size_t cellCount = 0;
        QPalette palette;
        std::vector<std::pair<int, QImage>> bySide;
    };
    mutable std::optional<Squares> m_squares;
    mutable DrawingRecord m_squaresCheck;
    bool m_isHighlighted = false;
};
