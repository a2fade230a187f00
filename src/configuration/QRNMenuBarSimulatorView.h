#pragma once

#include "menubar/QRNMenuBarCell.h"

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QWidget>

#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <vector>

// A simulated menu-bar strip on a configuration page. As a palette it offers
// every cell an item can show; as an item's strip it holds the item's cells
// in order. Cells are dragged from the palette into a strip, moved inside a
// strip and dragged out of a strip to remove them; every change of an item's
// strip is announced with menuBarConfigurationDidChange().
class MenuBarDrawing;
class QMimeData;

class QRNMenuBarSimulatorView : public QWidget {
    Q_OBJECT
public:
    // The only drag type the strips send and accept.
    static constexpr char DragType[] = "com.zentrovo.vistrel.menubarcell";
    static constexpr char ChangeNotificationName[] = "MenuBarConfigurationDidChangeNotification";
    static constexpr double MaximumWidth = 320.0;
    static constexpr quint64 NotFound = quint64(std::numeric_limits<qint64>::max());

    explicit QRNMenuBarSimulatorView(QWidget* parent = nullptr);
    ~QRNMenuBarSimulatorView() override;

    // A null cell is ignored; a spacer shows its layout frame here.
    void addMenuBarCell(std::unique_ptr<QRNMenuBarCell> cell, const QString& toolTipString = {});
    void removeMenuBarCellAtIndex(quint64 index);
    void removeAllMenuBarCells();
    quint64 countOfMenuBarCells() const { return m_menuBarCells.size(); }
    QRNMenuBarCell* menuBarCellAtIndex(quint64 index) const;
    // By identity; NotFound when the cell is not in this strip.
    quint64 indexOfCell(const QRNMenuBarCell* cell) const;
    QPointF locationOfCell(const QRNMenuBarCell* cell) const;
    // The cell under a point of this view (points), or null.
    QRNMenuBarCell* cellAtPoint(const QPointF& point) const;
    // The codes of the cells, left to right.
    QStringList cellCodes() const;
    const QStringList& toolTipStrings() const { return m_toolTipStrings; }
    // Tooltip areas by tag; both maps are rebuilt on every layout.
    const std::map<int, quint64>& toolTipIndexesByTags() const { return m_toolTipIndexesByTags; }
    // The tooltip of the cell under the point, "" when there is none.
    QString toolTipAtPoint(const QPointF& point) const;

    void refreshCells();
    void recomputeLayout();
    // True while the strip plus the cell stays within MaximumWidth; a null cell always fits.
    bool hasRoomToInsertCell(const QRNMenuBarCell* cell) const;
    void sendChangeNotification();

    quint64 dragMarkerIndex() const { return m_dragMarkerIndex; }
    void removeDragMarker();
    bool isItemSource() const { return m_isItemSource; }
    void setIsItemSource(bool itemSource) { m_isItemSource = itemSource; }
    // The cell being dragged out of this view: "CellIndex" and "CellCode".
    const std::optional<QVariantMap>& dragCellDescription() const { return m_dragCellDescription; }

    // The steps of a drag, callable without a real one. As source:
    // remembers the description of the cell at the index and answers the
    // drag data (null for no cell there); after the drag, removes the cell
    // from an item's strip when nobody took it.
    std::unique_ptr<QMimeData> beginDraggingCellAtIndex(quint64 index);
    void draggingSessionEnded(Qt::DropAction operation);
    // As destination: the operation offered to a drag from the source over
    // the point (IgnoreAction to refuse), placing the marker there.
    Qt::DropAction draggingUpdated(const QMimeData& data, const QObject* source, Qt::DropActions sourceActions,
        const QPointF& point);
    // Carries out the drop at the marker; true when it was accepted.
    bool performDragOperation(const QMimeData& data, const QObject* source);
    // The "CellIndex" of drag data, if it holds one.
    static std::optional<quint64> cellIndexOfDragData(const QMimeData& data);

    // The sum of the cells' widths, in points.
    double cellsWidth() const;
    QSize sizeHint() const override;

Q_SIGNALS:
    void menuBarConfigurationDidChange(QRNMenuBarSimulatorView* view);

protected:
    // Drawing and drag-and-drop handlers; see the .cpp.
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void drawDragMarker(MenuBarDrawing& drawing, double x) const;
    // Places the cell after the one before it and records its tooltip area.
    void layOutCellAtIndex(size_t index);
    void dragCellAtIndex(quint64 index, const QPointF& grab);
    std::optional<int> toolTipTagAtPoint(const QPointF& point) const;
    // The two kinds of drop; false when nothing changed.
    bool moveCell(quint64 oldIndex, quint64 markerIndex);
    bool insertCopyOfCell(const QRNMenuBarSimulatorView& source, quint64 index, quint64 markerIndex);

    std::vector<std::unique_ptr<QRNMenuBarCell>> m_menuBarCells;
    QStringList m_toolTipStrings;
    std::map<int, quint64> m_toolTipIndexesByTags;
    std::map<int, QRectF> m_toolTipRectsByTags;
    int m_nextToolTipTag = 1;
    // Where the mouse went down on a cell; a drag starts once it moves far enough.
    std::optional<QPointF> m_pressPoint;
    std::optional<QVariantMap> m_dragCellDescription;
    quint64 m_dragMarkerIndex = NotFound;
    bool m_isItemSource = false;
};
