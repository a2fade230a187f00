// Redrawing one status-item image of four cells, as every refresh of a
// processor item does: a two-series opposed graph and a percentage, a level
// bar and a pie, at device pixel ratio 2.
//
// Instruction counts: run the fixed-count redraw under callgrind, collecting
// only inside it (1000 redraws):
//   valgrind --tool=callgrind --toggle-collect='*redrawImages*' ./item_image_bench --benchmark_filter=FixedCount

#include "menubar/MenuBarDrawing.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "platform/statusbar/OffscreenStatusBar.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

struct FourCellImage {
    FourCellImage()
        : bar(1280, 2.0)
        , item(bar.statusItemWithLength(StatusItem::VariableLength))
        , image(QSizeF(0, 22))
    {
        image.setAssociatedView(item.get());
        auto graphCell = std::make_unique<QRNGraphMenuBarCell>();
        graphCell->setUsesSecondaryGraph(true);
        graphCell->setShowsOpposedGraphs(true);
        graphCell->setCapacity(30);
        graphCell->fillBufferWithDemoValues();
        graph = graphCell.get();
        image.addMenuBarCell(std::move(graphCell));
        for (int style : {QRNNumericMenuBarCell::Text, QRNNumericMenuBarCell::Bar, QRNNumericMenuBarCell::Pie}) {
            auto cell = std::make_unique<QRNNumericMenuBarCell>();
            cell->setDisplayStyle(style);
            numbers.push_back(cell.get());
            image.addMenuBarCell(std::move(cell));
        }
    }

    // One refresh: new values into every cell, then the redraw.
    void refresh(int tick)
    {
        const double load = 0.5 + 0.45 * std::sin(tick * 0.37);
        graph->addNewValue(load, 1 - load);
        for (QRNNumericMenuBarCell* number : numbers)
            number->setDoubleValue(load);
        image.refreshCells();
    }

    OffscreenStatusBar bar;
    std::unique_ptr<StatusItem> item;
    QRNMenuBarItemImage image;
    QRNGraphMenuBarCell* graph = nullptr;
    std::vector<QRNNumericMenuBarCell*> numbers;
};

// Kept out of line so that callgrind can collect exactly this.
[[gnu::noinline]] void redrawImages(FourCellImage& cells, int count)
{
    for (int tick = 0; tick < count; ++tick)
        cells.refresh(tick);
}

void RefreshFourCells(benchmark::State& state)
{
    FourCellImage cells;
    int tick = 0;
    for (auto _ : state) {
        cells.refresh(tick++);
        benchmark::DoNotOptimize(cells.item->image().constBits());
    }
}
BENCHMARK(RefreshFourCells)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);

// Why translucent fills go through the opaque layer: the same translucent
// wave filled by QPainter directly (which hands its spans to Qt's thread pool)
// and through MenuBarDrawing, into a graph-sized image at ratio 2.
QPolygonF wave()
{
    QPolygonF polygon;
    polygon << QPointF(2, 20);
    for (int j = 0; j < 30; ++j)
        polygon << QPointF(2 + j * 62.0 / 29, 11 + 8 * std::sin(j * 0.4));
    polygon << QPointF(64, 20);
    return polygon;
}

void TranslucentFill(benchmark::State& state, bool throughLayer)
{
    const QPolygonF polygon = wave();
    const QColor tertiary(0, 0, 0, 66);
    QImage image(QSize(132, 44), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2.0);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        if (throughLayer) {
            MenuBarDrawing drawing(painter, 22, QPalette());
            drawing.fillPolygon(polygon, tertiary);
        } else {
            painter.setPen(Qt::NoPen);
            painter.setBrush(tertiary);
            painter.drawPolygon(polygon);
        }
    }
}
BENCHMARK_CAPTURE(TranslucentFill, QPainter, false)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(TranslucentFill, OpaqueLayer, true)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void RefreshFourCellsFixedCount(benchmark::State& state)
{
    FourCellImage cells;
    cells.refresh(0);
    for (auto _ : state)
        redrawImages(cells, 1000);
}
BENCHMARK(RefreshFourCellsFixedCount)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
