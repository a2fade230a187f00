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

// Drags the cell at the index inside its own strip and drops it where the
// marker lands for the point; answers whether the drop was accepted.
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
        quint64 from;
        quint64 marker;
        std::vector<double> widths;
    };
    const Case cases[] = {
        {1, 4, {10, 12, 13, 11, 14}},
        {3, 1, {10, 13, 11, 12, 14}},
        {0, 4, {11, 12, 13, 10, 14}},
        {4, 0, {14, 10, 11, 12, 13}},
        // Onto itself or onto its right neighbour: the same place.
        {2, 2, FiveCells},
        {2, 3, FiveCells},
        // Right of the last cell: appended.
        {1, 5, {10, 12, 13, 14, 11}},
    };
    for (const Case& each : cases) {
        QRNMenuBarSimulatorView view;
        fill(view, FiveCells);
        ChangeCounter changes(view);
        const QPointF dropPoint =
            each.marker < 5 ? pointOverCell(view, each.marker) : QPointF(view.cellsWidth() + 5, 11);
        ASSERT_TRUE(reorder(view, each.from, dropPoint)) << each.from << " to " << each.marker;
        EXPECT_EQ(widths(view), each.widths) << each.from << " to " << each.marker;
        // Tooltips travel with their cells: "tip N" belongs to the cell 10 + N wide.
        QStringList toolTips;
        for (double width : each.widths)
            toolTips.append(QStringLiteral("tip %1").arg(width - 10));
        EXPECT_EQ(view.toolTipStrings(), toolTips) << each.from << " to " << each.marker;
        EXPECT_EQ(view.dragMarkerIndex(), QRNMenuBarSimulatorView::NotFound);
        EXPECT_FALSE(view.dragCellDescription());
        EXPECT_EQ(changes.signals(), 1);
        EXPECT_EQ(changes.notifications(), 1);
        // The layout follows the new order.
        EXPECT_EQ(view.menuBarCellAtIndex(1)->offset(), each.widths[0]);
    }
}

TEST(StripDragDestination, TheMarkerGoesToTheCellUnderThePointerOrAfterTheLast)
{
    QRNMenuBarSimulatorView strip;
    QRNMenuBarSimulatorView palette;
    fill(strip, {30, 40, 50});
    fill(palette, {20});
    std::unique_ptr<QMimeData> fromPalette = palette.beginDraggingCellAtIndex(0);
    ASSERT_TRUE(fromPalette);

    EXPECT_EQ(strip.draggingUpdated(*fromPalette, &palette, SourceActions, {45, 11}), Qt::CopyAction);
    EXPECT_EQ(strip.dragMarkerIndex(), 1u);
    EXPECT_EQ(strip.draggingUpdated(*fromPalette, &palette, SourceActions, {119.5, 11}), Qt::CopyAction);
    EXPECT_EQ(strip.dragMarkerIndex(), 2u);
    EXPECT_EQ(strip.draggingUpdated(*fromPalette, &palette, SourceActions, {120, 11}), Qt::CopyAction);
    EXPECT_EQ(strip.dragMarkerIndex(), 3u);
    strip.removeDragMarker();
    EXPECT_EQ(strip.dragMarkerIndex(), QRNMenuBarSimulatorView::NotFound);

    QRNMenuBarSimulatorView empty;
    fill(empty, {});
    EXPECT_EQ(empty.draggingUpdated(*fromPalette, &palette, SourceActions, {10, 11}), Qt::CopyAction);
    EXPECT_EQ(empty.dragMarkerIndex(), 0u);
}

TEST(StripDragDestination, OffersMoveToItsOwnCellsCopyToOthersAndNothingToForeignDrags)
{
    QRNMenuBarSimulatorView strip;
    QRNMenuBarSimulatorView other;
    fill(strip, {30, 40});
    fill(other, {20});
    std::unique_ptr<QMimeData> own = strip.beginDraggingCellAtIndex(0);
    std::unique_ptr<QMimeData> foreign = other.beginDraggingCellAtIndex(0);

    EXPECT_EQ(strip.draggingUpdated(*own, &strip, SourceActions, {5, 5}), Qt::MoveAction);
    EXPECT_EQ(strip.draggingUpdated(*foreign, &other, SourceActions, {5, 5}), Qt::CopyAction);
    // The answer is limited to what the source allows; the marker shows all the same.
    strip.removeDragMarker();
    EXPECT_EQ(strip.draggingUpdated(*foreign, &other, Qt::MoveAction, {35, 5}), Qt::IgnoreAction);
    EXPECT_EQ(strip.dragMarkerIndex(), 1u);

    strip.removeDragMarker();
    QMimeData text;
    text.setText(QStringLiteral("QRNMenuBarCell"));
    EXPECT_EQ(strip.draggingUpdated(text, &other, SourceActions, {5, 5}), Qt::IgnoreAction);
    EXPECT_EQ(strip.dragMarkerIndex(), QRNMenuBarSimulatorView::NotFound);

    QRNMenuBarSimulatorView palette;
    fill(palette, {30});
    palette.setIsItemSource(true);
    EXPECT_EQ(palette.draggingUpdated(*foreign, &other, SourceActions, {5, 5}), Qt::IgnoreAction);
    EXPECT_EQ(palette.dragMarkerIndex(), QRNMenuBarSimulatorView::NotFound);
}

TEST(StripDrop, CopiesFromAnotherViewOnlyWithinTheWidthLimit)
{
    QRNMenuBarSimulatorView palette;
    fill(palette, {20, 21});
    palette.setIsItemSource(true);
    QRNMenuBarSimulatorView strip;
    fill(strip, {100, 100, 100});
    ChangeCounter changes(strip);

    std::unique_ptr<QMimeData> wide = palette.beginDraggingCellAtIndex(1);
    ASSERT_EQ(strip.draggingUpdated(*wide, &palette, SourceActions, {150, 11}), Qt::CopyAction);
    EXPECT_FALSE(strip.performDragOperation(*wide, &palette));
    EXPECT_EQ(widths(strip), (std::vector<double>{100, 100, 100}));
    EXPECT_EQ(strip.dragMarkerIndex(), QRNMenuBarSimulatorView::NotFound);
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
    // The strip holds a copy, not the palette's cell.
    EXPECT_NE(strip.menuBarCellAtIndex(1), palette.menuBarCellAtIndex(0));
    EXPECT_EQ(palette.countOfMenuBarCells(), 2u);
}

TEST(StripDrop, WithoutAMarkerIsRefusedAndLogged)
{
    QRNMenuBarSimulatorView strip;
    QRNMenuBarSimulatorView palette;
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
    EXPECT_EQ(widths(strip), (std::vector<double>{30, 40}));
    EXPECT_EQ(changes.signals(), 0);
}

TEST(StripDrop, RefusesDataThatNamesNoCell)
{
    QRNMenuBarSimulatorView strip;
    fill(strip, {30, 40});
    std::unique_ptr<QMimeData> data = strip.beginDraggingCellAtIndex(0);
    strip.draggingUpdated(*data, &strip, SourceActions, {5, 5});

    QMimeData stale;
    stale.setData(QString::fromLatin1(QRNMenuBarSimulatorView::DragType),
        *PropertyList::toXML(QVariantMap{{"CellIndex", 7}, {"CellCode", "QRNMenuBarCell"}}));
    EXPECT_FALSE(strip.performDragOperation(stale, &strip));
    EXPECT_EQ(widths(strip), (std::vector<double>{30, 40}));
    EXPECT_EQ(strip.dragMarkerIndex(), QRNMenuBarSimulatorView::NotFound);

    // A drag from another program has no source view to copy from.
    strip.draggingUpdated(*data, nullptr, SourceActions, {5, 5});
    EXPECT_FALSE(strip.performDragOperation(*data, nullptr));
    EXPECT_EQ(widths(strip), (std::vector<double>{30, 40}));
    EXPECT_EQ(strip.dragMarkerIndex(), QRNMenuBarSimulatorView::NotFound);

    QMimeData garbage;
    garbage.setData(QString::fromLatin1(QRNMenuBarSimulatorView::DragType), "not a property list");
    EXPECT_FALSE(QRNMenuBarSimulatorView::cellIndexOfDragData(garbage));
    EXPECT_FALSE(strip.performDragOperation(garbage, &strip));
    EXPECT_EQ(widths(strip), (std::vector<double>{30, 40}));
}

TEST(StripDragSource, DescribesTheCellAsAPropertyList)
{
    QRNMenuBarSimulatorView strip;
    strip.addMenuBarCell(QRNMenuBarCell::newMenuBarCellForStringCode(QStringLiteral("QRNSpacerMenuBarCell:N")));
    strip.addMenuBarCell(QRNMenuBarCell::newMenuBarCellForStringCode(QStringLiteral("QRNNumericMenuBarCell:P")));

    EXPECT_FALSE(strip.beginDraggingCellAtIndex(2));
    EXPECT_FALSE(strip.dragCellDescription());

    std::unique_ptr<QMimeData> data = strip.beginDraggingCellAtIndex(1);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->formats(), QStringList{"com.zentrovo.vistrel.menubarcell"});
    const std::optional<QVariant> written = PropertyList::fromData(data->data("com.zentrovo.vistrel.menubarcell"));
    ASSERT_TRUE(written);
    const QVariantMap description = written->toMap();
    EXPECT_EQ(description.value("CellIndex").toULongLong(), 1u);
    EXPECT_EQ(description.value("CellCode").toString(), "QRNNumericMenuBarCell:P");
    EXPECT_EQ(strip.dragCellDescription(), description);
    EXPECT_EQ(QRNMenuBarSimulatorView::cellIndexOfDragData(*data), 1u);
}

TEST(StripDragSource, AnItemStripLosesTheCellNobodyTook)
{
    struct Case {
        bool palette;
        Qt::DropAction result;
        size_t cellsLeft;
    };
    const Case cases[] = {
        {false, Qt::IgnoreAction, 2},
        {false, Qt::CopyAction, 3},
        {false, Qt::MoveAction, 3},
        {true, Qt::IgnoreAction, 3},
    };
    for (const Case& each : cases) {
        QRNMenuBarSimulatorView view;
        fill(view, {30, 40, 50});
        view.setIsItemSource(each.palette);
        ChangeCounter changes(view);
        ASSERT_TRUE(view.beginDraggingCellAtIndex(1));
        view.draggingSessionEnded(each.result);
        EXPECT_EQ(view.countOfMenuBarCells(), each.cellsLeft) << each.palette << " " << each.result;
        const int expectedChanges = each.cellsLeft == 2 ? 1 : 0;
        EXPECT_EQ(changes.signals(), expectedChanges);
        EXPECT_EQ(changes.notifications(), expectedChanges);
        EXPECT_FALSE(view.dragCellDescription());
        if (each.cellsLeft == 2) {
            EXPECT_EQ(widths(view), (std::vector<double>{30, 50}));
            EXPECT_EQ(view.toolTipStrings(), (QStringList{"tip 0", "tip 2"}));
        }
    }
}

TEST(StripDragSource, KeepsEverythingWhenTheDraggedIndexIsGone)
{
    QRNMenuBarSimulatorView strip;
    fill(strip, {30, 40, 50});
    ChangeCounter changes(strip);
    ASSERT_TRUE(strip.beginDraggingCellAtIndex(2));
    strip.removeMenuBarCellAtIndex(0);
    strip.draggingSessionEnded(Qt::IgnoreAction);
    EXPECT_EQ(widths(strip), (std::vector<double>{40, 50}));
    EXPECT_EQ(changes.signals(), 0);
    EXPECT_FALSE(strip.dragCellDescription());
}
