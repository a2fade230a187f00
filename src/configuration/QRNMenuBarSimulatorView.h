#pragma once

#include "menubar/QRNMenuBarCell.h"

#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QWidget>

#include <limits>
#include <memory>
#include <optional>
#include <vector>

// A simulated menu-bar strip on a configuration page. As a palette it offers
// every cell an item can show; as an item's strip it holds the item's cells
// in order. Cells are dragged from the palette into a strip, moved inside a
// strip and dragged out of a strip to remove them; every change of an item's
// strip is announced with menuBarConfigurationDidChange().
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

    // The sum of the cells' widths, in points.
    double cellsWidth() const;
    QSize sizeHint() const override;

Q_SIGNALS:
    void menuBarConfigurationDidChange(QRNMenuBarSimulatorView* view);

protected:
    // Drawing and drag-and-drop handlers; see the .cpp.
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    std::vector<std::unique_ptr<QRNMenuBarCell>> m_menuBarCells;
    QStringList m_toolTipStrings;
    std::optional<QVariantMap> m_dragCellDescription;
    quint64 m_dragMarkerIndex = NotFound;
    bool m_isItemSource = false;
};
