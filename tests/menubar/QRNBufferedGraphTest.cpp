#include "menubar/MenuBarDrawing.h"
#include "menubar/PixelProbe.h"
#include "menubar/QRNBufferedGraph.h"
#include "platform/log/LogCapture.h"

#include <gtest/gtest.h>

using namespace PixelProbe;

namespace {

QRNBufferedGraph rampOf(quint32 capacity)
{
    QRNBufferedGraph graph;
    graph.setCapacity(capacity);
    for (quint32 i = 1; i <= capacity; ++i)
        graph.addNewValue(i);
    return graph;
}

std::pair<float, float> deltaAndMinimum(const QRNBufferedGraph& graph)
{
    float delta = -1, minimum = -1;
    graph.getForCurrentZoomModeValueDelta(&delta, &minimum);
    return {delta, minimum};
}

} // namespace

TEST(QRNBufferedGraph, KeepsTheLastSamplesAndWraps)
{
    QRNBufferedGraph graph = rampOf(30);
    EXPECT_EQ(graph.currentIndex(), 0u);
    graph.addNewValue(31);
    EXPECT_EQ(graph.currentIndex(), 1u);
    std::vector<float> oldestFirst;
    for (quint32 j = 0; j < 30; ++j)
        oldestFirst.push_back(graph.historyValues()[(graph.currentIndex() + j) % 30]);
    std::vector<float> expected;
    for (int i = 2; i <= 31; ++i)
        expected.push_back(float(i));
    EXPECT_EQ(oldestFirst, expected);
}

TEST(QRNBufferedGraph, RejectsNegativeSamplesAndKeepsEverything)
{
    QRNBufferedGraph graph;
    graph.setCapacity(4);
    graph.setUsesSecondaryGraph(true);
    graph.addNewValue(2, 5);
    const QRNBufferedGraph before = graph;
    LogCapture log;
    graph.addNewValue(-0.5);
    graph.addNewValue(3, -1);
    EXPECT_EQ(log.messages(LogLevel::Error),
        QStringList({"QRNBufferedGraph: this implementation is designed for positive values only. Ignoring value -0.500000.",
            "QRNBufferedGraph: implementation is designed for positive values only. Ignoring value pair (3.000000, -1.000000)."}));
    EXPECT_EQ(graph.historyValues(), before.historyValues());
    EXPECT_EQ(graph.secondaryHistoryValues(), before.secondaryHistoryValues());
    EXPECT_EQ(graph.currentIndex(), before.currentIndex());
    EXPECT_EQ(graph.maximumValue(), 2.0f);
    EXPECT_EQ(graph.maximumValue2(), 5.0f);
}

TEST(QRNBufferedGraph, FixedRangeIsAStartThatSamplesWidenAndEmptyRangesAreRejected)
{
    QRNBufferedGraph graph;
    graph.setCapacity(5);
    graph.setZoomsLocally(true);
    graph.setFixedRangeWithMinimum(0, 100);
    EXPECT_FALSE(graph.zoomsLocally());
    graph.addNewValue(150);
    EXPECT_EQ(graph.minimumValue(), 0.0f);
    EXPECT_EQ(graph.maximumValue(), 150.0f);
    graph.setFixedRangeWithMinimum(20, 40);
    graph.addNewValue(30);
    EXPECT_EQ(deltaAndMinimum(graph), std::make_pair(20.0f, 20.0f));
    LogCapture log;
    graph.setFixedRangeWithMinimum(5, 5);
    graph.setFixedRangeWithMinimum(9, 3);
    EXPECT_EQ(log.messages(LogLevel::Error),
        QStringList({"QRNBufferedGraph: invalid range [5.000000, 5.000000], ignoring...",
            "QRNBufferedGraph: invalid range [9.000000, 3.000000], ignoring..."}));
    EXPECT_EQ(graph.minimumValue(), 20.0f);
    EXPECT_EQ(graph.maximumValue(), 40.0f);
    // Local zoom spans the buffer, unwritten slots included.
    QRNBufferedGraph partly;
    partly.setCapacity(30);
    partly.setZoomsLocally(true);
    for (double v : {10.0, 11.0, 12.0})
        partly.addNewValue(v);
    EXPECT_EQ(deltaAndMinimum(partly), std::make_pair(12.0f, 0.0f));
}

// The graph area of a 66 × 22 rectangle is inset by 2 points: its frame runs from (2, 2) to (64, 20).
class BufferedGraphDrawing : public ::testing::TestWithParam<qreal> {
protected:
    QImage draw(const QRNBufferedGraph& graph, const QPalette& palette = lightPalette()) const
    {
        return MenuBarDrawing::renderImage(QSizeF(66, 22), GetParam(), palette,
            [&](MenuBarDrawing& drawing) { graph.drawInRect(drawing, QRectF(0, 0, 66, 22)); });
    }
    double pixel() const { return 1.0 / GetParam(); }
};

TEST_P(BufferedGraphDrawing, ARampFillsFromBottomLeftToTopRight)
{
    const QImage image = draw(rampOf(30));
    const double step = 62.0 / 29;
    double previous = 0;
    for (int j = 1; j < 29; ++j) {
        // Sample j + 1 reaches 2 + 0.6 (j + 1); the run starts above the frame's bottom line.
        const double top = 2 + 0.6 * (j + 1);
        const double run = inkedRunUpwards(image, 2 + j * step, 3 + pixel() / 2);
        if (top < 18) {
            EXPECT_NEAR(run, std::max(top - 3, 0.0), pixel() + 0.35) << "column " << j;
        }
        EXPECT_GE(run, previous) << "column " << j;
        previous = run;
    }
    EXPECT_LT(inkedRunUpwards(image, 2 + step, 3 + pixel() / 2), 1.0);
    EXPECT_EQ(inkedRunUpwards(image, 2 + 28 * step, 3 + pixel() / 2), 17.0) << "up to the top of the frame";
    EXPECT_FALSE(isInked(image, 6, 15)) << "nothing above the curve on the left";
    QRNBufferedGraph zero;
    zero.setCapacity(30);
    for (int i = 0; i < 30; ++i)
        zero.addNewValue(0);
    const QImage flat = draw(zero);
    EXPECT_EQ(inkedFraction(flat, QRectF(3, 3, 60, 16), 1), 0.0);
    EXPECT_EQ(inkedFraction(flat, QRectF(2, 2, 62, 1)), 1.0);
    EXPECT_EQ(inkedFraction(flat, QRectF(0, 0, 66, 2), 1), 0.0) << "nothing below the base";
}

TEST_P(BufferedGraphDrawing, OpposedSeriesRiseFromTheBottomAndHangFromTheTop)
{
    QRNBufferedGraph graph;
    graph.setCapacity(30);
    graph.setUsesSecondaryGraph(true);
    graph.setShowsOpposedGraphs(true);
    for (int i = 0; i < 30; ++i)
        graph.addNewValue(1, 0.5);
    const QImage image = draw(graph);
    // Half scale: the first series reaches 2 + 9, the second hangs from 20 down to 15.5.
    EXPECT_NEAR(inkedRunUpwards(image, 33, 3 + pixel() / 2), 8, pixel());
    EXPECT_EQ(colorAt(image, 33, 6), QColor(Qt::black));
    EXPECT_EQ(alphaAt(image, 33, 13), 0);
    const QColor hanging = colorAt(image, 33, 17.5);
    EXPECT_NEAR(hanging.alpha(), 0.26 * 255, 2);
    EXPECT_EQ(hanging.rgb(), QColor(Qt::black).rgb());
    EXPECT_EQ(alphaAt(image, 33, 15), 0);
}

INSTANTIATE_TEST_SUITE_P(DevicePixelRatios, BufferedGraphDrawing, ::testing::Values(1.0, 2.0));
