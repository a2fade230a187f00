#include "configuration/QRNMenuBarSimulatorView.h"
#include "configuration/StripFixture.h"

#include "menubar/QRNMenuBarCell.h"
#include "platform/defaults/PropertyList.h"
#include "platform/log/LogCapture.h"

#include <QMimeData>

#include <gtest/gtest.h>

using namespace StripFixture;

namespace {

const Qt::DropActions SourceActions = Qt::CopyAction | Qt::MoveAction;
const std::vector<double> FiveCells = {10, 11, 12, 13, 14};
constexpr quint64 NotFound = QRNMenuBarSimulatorView::NotFound;

bool reorder(QRNMenuBarSimulatorView& view, quint64 index, const QPointF& dropPoint)
{
    std::unique_ptr<QMimeData> data = view.beginDraggingCellAtIndex(index);
    if (!data || view.draggingUpdated(*data, &view, SourceActions, dropPoint) != Qt::MoveAction)
        return false;
    const bool accepted = view.performDragOperation(*data, &view);
    view.draggingSessionEnded(accepted ? Qt::MoveAction : Qt::IgnoreAction);
    return accepted;
}

} // namespace

TEST(StripReorder, MovesTheCellAndItsTooltipToTheMarker)
{
    struct Case {
        quint64 from, marker;
        std::vector<double> widths;
    };
    const Case cases[] = {
        {1, 4, {10, 12, 13, 11, 14}},
        {3, 1, {10, 13, 11, 12, 14}},
        {0, 4, {11, 12, 13, 10, 14}},
        {4, 0, {14, 10, 11, 12, 13}},
        {2, 2, FiveCells}, // onto itself
        {2, 3, FiveCells}, // onto its right neighbour
        {1, 5, {10, 12, 13, 14, 11}}, // right of the last cell
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(testing::Message() << each.from << " to " << each.marker);
        QRNMenuBarSimulatorView view;
        fill(view, FiveCells);
        ChangeCounter changes(view);
        const QPointF dropPoint = each.marker < 5 ? pointOverCell(view, each.marker) : QPointF(view.cellsWidth() + 5, 11);
        ASSERT_TRUE(reorder(view, each.from, dropPoint));
        EXPECT_EQ(widths(view), each.widths);
        QStringList toolTips;
        for (double width : each.widths)
            toolTips.append(QStringLiteral("tip %1").arg(width - 10));
        EXPECT_EQ(view.toolTipStrings(), toolTips);
        EXPECT_EQ(view.dragMarkerIndex(), NotFound);
        EXPECT_FALSE(view.dragCellDescription());
        EXPECT_EQ(changes.signals(), 1);
        EXPECT_EQ(changes.notifications(), 1);
        EXPECT_EQ(view.menuBarCellAtIndex(1)->offset(), each.widths[0]);
    }
}

TEST(StripDragDestination, MarkerPositionAndOfferedAction)
{
    QRNMenuBarSimulatorView strip, palette;
    fill(strip, {30, 40, 50});
    fill(palette, {20});
    std::unique_ptr<QMimeData> fromPalette = palette.beginDraggingCellAtIndex(0);
    ASSERT_TRUE(fromPalette);
    const std::pair<double, quint64> markers[] = {{45, 1}, {119.5, 2}, {120, 3}};
    for (const auto& [x, marker] : markers) {
        EXPECT_EQ(strip.draggingUpdated(*fromPalette, &palette, SourceActions, {x, 11}), Qt::CopyAction);
        EXPECT_EQ(strip.dragMarkerIndex(), marker) << x;
    }
    QRNMenuBarSimulatorView empty;
    fill(empty, {});
    EXPECT_EQ(empty.draggingUpdated(*fromPalette, &palette, SourceActions, {10, 11}), Qt::CopyAction);
    EXPECT_EQ(empty.dragMarkerIndex(), 0u);

    // Own cells move; the answer is limited to what the source allows, the marker shows anyway.
    std::unique_ptr<QMimeData> own = strip.beginDraggingCellAtIndex(0);
    EXPECT_EQ(strip.draggingUpdated(*own, &strip, SourceActions, {5, 5}), Qt::MoveAction);
    strip.removeDragMarker();
    EXPECT_EQ(strip.draggingUpdated(*fromPalette, &palette, Qt::MoveAction, {35, 5}), Qt::IgnoreAction);
    EXPECT_EQ(strip.dragMarkerIndex(), 1u);
    strip.removeDragMarker();

    // Foreign data, and drops onto a palette, are refused without a marker.
    QMimeData text;
    text.setText(QStringLiteral("QRNMenuBarCell"));
    EXPECT_EQ(strip.draggingUpdated(text, &palette, SourceActions, {5, 5}), Qt::IgnoreAction);
    EXPECT_EQ(strip.dragMarkerIndex(), NotFound);
    palette.setIsItemSource(true);
    EXPECT_EQ(palette.draggingUpdated(*own, &strip, SourceActions, {5, 5}), Qt::IgnoreAction);
    EXPECT_EQ(palette.dragMarkerIndex(), NotFound);
}

TEST(StripDrop, CopiesFromAnotherViewOnlyWithinTheWidthLimit)
{
    QRNMenuBarSimulatorView palette, strip;
    fill(palette, {20, 21});
    palette.setIsItemSource(true);
    fill(strip, {100, 100, 100});
    ChangeCounter changes(strip);

    std::unique_ptr<QMimeData> wide = palette.beginDraggingCellAtIndex(1);
    ASSERT_EQ(strip.draggingUpdated(*wide, &palette, SourceActions, {150, 11}), Qt::CopyAction);
    EXPECT_FALSE(strip.performDragOperation(*wide, &palette));
    EXPECT_EQ(widths(strip), (std::vector<double>{100, 100, 100}));
    EXPECT_EQ(strip.dragMarkerIndex(), NotFound);
    EXPECT_EQ(changes.signals(), 0);
    palette.draggingSessionEnded(Qt::IgnoreAction);
    EXPECT_EQ(palette.countOfMenuBarCells(), 2u);

    std::unique_ptr<QMimeData> fitting = palette.beginDraggingCellAtIndex(0);
    ASSERT_EQ(strip.draggingUpdated(*fitting, &palette, SourceActions, {150, 11}), Qt::CopyAction);
    EXPECT_TRUE(strip.performDragOperation(*fitting, &palette));
    palette.draggingSessionEnded(Qt::CopyAction);
    EXPECT_EQ(widths(strip), (std::vector<double>{100, 20, 100, 100}));
    EXPECT_EQ(strip.toolTipStrings(), (QStringList{"tip 0", "", "tip 1", "tip 2"}));
    EXPECT_EQ(strip.cellsWidth(), 320.0);
    EXPECT_EQ(changes.signals(), 1);
    EXPECT_EQ(changes.notifications(), 1);
    EXPECT_NE(strip.menuBarCellAtIndex(1), palette.menuBarCellAtIndex(0));
    EXPECT_EQ(palette.countOfMenuBarCells(), 2u);
}

TEST(StripDrop, RefusesDropsWithoutMarkerSourceOrCell)
{
    QRNMenuBarSimulatorView strip, palette;
    fill(strip, {30, 40});
    fill(palette, {20});
    ChangeCounter changes(strip);
    std::unique_ptr<QMimeData> data = palette.beginDraggingCellAtIndex(0);
    strip.draggingUpdated(*data, &palette, SourceActions, {5, 5});
    strip.removeDragMarker();
    LogCapture log;
    EXPECT_FALSE(strip.performDragOperation(*data, &palette));
    EXPECT_EQ(log.messages(LogLevel::Error),
        QStringList{"QRNMenuBarSimulatorView: dropped a menu-bar cell where no drag marker is shown."});

    QMimeData stale;
    stale.setData(QString::fromLatin1(QRNMenuBarSimulatorView::DragType),
        *PropertyList::toXML(QVariantMap{{"CellIndex", 7}, {"CellCode", "QRNMenuBarCell"}}));
    QMimeData garbage;
    garbage.setData(QString::fromLatin1(QRNMenuBarSimulatorView::DragType), "not a property list");
    EXPECT_FALSE(QRNMenuBarSimulatorView::cellIndexOfDragData(garbage));
    std::unique_ptr<QMimeData> own = strip.beginDraggingCellAtIndex(0);
    // A stale index, and a drag from another program (no source view).
    const std::pair<const QMimeData*, QRNMenuBarSimulatorView*> drops[] = {{&stale, &strip}, {own.get(), nullptr}};
    for (const auto& [drop, source] : drops) {
        strip.draggingUpdated(*own, source, SourceActions, {5, 5});
        EXPECT_FALSE(strip.performDragOperation(*drop, source));
        EXPECT_EQ(widths(strip), (std::vector<double>{30, 40}));
        EXPECT_EQ(strip.dragMarkerIndex(), NotFound);
    }
    EXPECT_FALSE(strip.performDragOperation(garbage, &strip));
    EXPECT_EQ(widths(strip), (std::vector<double>{30, 40}));
    EXPECT_EQ(changes.signals(), 0);
}

TEST(StripDragSource, AnItemStripLosesTheCellNobodyTook)
{
    struct Case {
        bool palette;
        Qt::DropAction result;
        size_t cellsLeft;
    };
    const Case cases[] = {
        {false, Qt::IgnoreAction, 2}, {false, Qt::CopyAction, 3}, {false, Qt::MoveAction, 3}, {true, Qt::IgnoreAction, 3}};
    for (const Case& each : cases) {
        SCOPED_TRACE(testing::Message() << each.palette << " " << each.result);
        QRNMenuBarSimulatorView view;
        fill(view, {30, 40, 50});
        view.setIsItemSource(each.palette);
        ChangeCounter changes(view);
        ASSERT_TRUE(view.beginDraggingCellAtIndex(1));
        view.draggingSessionEnded(each.result);
        EXPECT_EQ(view.countOfMenuBarCells(), each.cellsLeft);
        EXPECT_EQ(changes.signals(), each.cellsLeft == 2 ? 1 : 0);
        EXPECT_EQ(changes.notifications(), each.cellsLeft == 2 ? 1 : 0);
        EXPECT_FALSE(view.dragCellDescription());
        if (each.cellsLeft == 2) {
            EXPECT_EQ(widths(view), (std::vector<double>{30, 50}));
            EXPECT_EQ(view.toolTipStrings(), (QStringList{"tip 0", "tip 2"}));
        }
    }

    // The dragged index is gone by the end of the session: nothing else is lost.
    QRNMenuBarSimulatorView strip;
    fill(strip, {30, 40, 50});
    ChangeCounter changes(strip);
    ASSERT_TRUE(strip.beginDraggingCellAtIndex(2));
    strip.removeMenuBarCellAtIndex(0);
    strip.draggingSessionEnded(Qt::IgnoreAction);
    EXPECT_EQ(widths(strip), (std::vector<double>{40, 50}));
    EXPECT_EQ(changes.signals(), 0);
}

TEST(StripToolTips, AreaPerCellRebuiltOnEveryLayout)
{
    QRNMenuBarSimulatorView view;
    fill(view, {30, 40, 50});
    const std::map<int, quint64> first = view.toolTipIndexesByTags();
    ASSERT_EQ(first.size(), 3u);
    std::vector<quint64> indexes;
    for (const auto& [tag, index] : first)
        indexes.push_back(index);
    EXPECT_EQ(indexes, (std::vector<quint64>{0, 1, 2}));
    EXPECT_EQ(view.toolTipAtPoint({45, 11}), "tip 1");
    EXPECT_EQ(view.toolTipAtPoint({119, 21}), "tip 2");
    EXPECT_EQ(view.toolTipAtPoint({121, 11}), "");

    view.removeMenuBarCellAtIndex(0);
    EXPECT_EQ(view.toolTipIndexesByTags().size(), 2u);
    EXPECT_NE(view.toolTipIndexesByTags().begin()->first, first.begin()->first);
    EXPECT_EQ(view.toolTipAtPoint({5, 11}), "tip 1");
    EXPECT_EQ(view.toolTipAtPoint({85, 11}), "tip 2");
    EXPECT_EQ(view.toolTipAtPoint({95, 11}), "");
}
