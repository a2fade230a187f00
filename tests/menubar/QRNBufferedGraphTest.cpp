#include "menubar/MenuBarDrawing.h"
#include "menubar/PixelProbe.h"
#include "menubar/QRNBufferedGraph.h"
#include "platform/log/LogCapture.h"

#include <gtest/gtest.h>

using namespace PixelProbe;

namespace {

std::vector<float> oldestFirst(const QRNBufferedGraph& graph)
{
    std::vector<float> values;
    for (quint32 j = 0; j < graph.capacity(); ++j)
        values.push_back(graph.historyValues()[(graph.currentIndex() + j) % graph.capacity()]);
    return values;
}

QRNBufferedGraph rampOf(quint32 capacity)
{
    QRNBufferedGraph graph;
    graph.setCapacity(capacity);
    for (quint32 i = 1; i <= capacity; ++i)
        graph.addNewValue(i);
    return graph;
}

} // namespace

TEST(QRNBufferedGraph, KeepsTheLastSamplesOldestFirstAndWraps)
{
    QRNBufferedGraph graph = rampOf(30);
    EXPECT_EQ(graph.currentIndex(), 0u);
    std::vector<float> expected;
    for (int i = 1; i <= 30; ++i)
        expected.push_back(float(i));
    EXPECT_EQ(oldestFirst(graph), expected);

    graph.addNewValue(31);
    EXPECT_EQ(graph.historyValues()[0], 31.0f);
    EXPECT_EQ(graph.currentIndex(), 1u);
    expected.erase(expected.begin());
    expected.push_back(31);
    EXPECT_EQ(oldestFirst(graph), expected);
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

TEST(QRNBufferedGraph, RunningRangesOnlyWidenAndTheSecondFollowsEvenWithoutItsSeries)
{
    QRNBufferedGraph graph;
    graph.setCapacity(2);
    graph.addNewValue(7);
    graph.addNewValue(1);
    graph.addNewValue(2);
    EXPECT_EQ(graph.minimumValue(), 0.0f);
    EXPECT_EQ(graph.maximumValue(), 7.0f);

    graph.addNewValue(3, 9);
    EXPECT_FALSE(graph.usesSecondaryGraph());
    EXPECT_TRUE(graph.secondaryHistoryValues().empty());
    EXPECT_EQ(graph.maximumValue2(), 9.0f);

    float delta = -1, minimum = -1;
    graph.getForCurrentZoomModeValueDelta(&delta, &minimum);
    EXPECT_EQ(delta, 7.0f) << "one series scales to its own range only";
    graph.setUsesSecondaryGraph(true);
    graph.addNewValue(1, 4);
    graph.getForCurrentZoomModeValueDelta(&delta, nullptr);
    EXPECT_EQ(delta, 4.0f) << "rebuilt buffers start their ranges again";
}

TEST(QRNBufferedGraph, ZoomsToTheSamplesInTheBufferIncludingUnwrittenSlots)
{
    QRNBufferedGraph full;
    full.setCapacity(3);
    full.setZoomsLocally(true);
    for (double v : {10.0, 11.0, 12.0})
        full.addNewValue(v);
    float delta = 0, minimum = 0;
    full.getForCurrentZoomModeValueDelta(&delta, &minimum);
    EXPECT_EQ(minimum, 10.0f);
    EXPECT_EQ(delta, 2.0f);

    QRNBufferedGraph partly;
    partly.setCapacity(30);
    partly.setUsesSecondaryGraph(true);
    partly.setZoomsLocally(true);
    for (double v : {10.0, 11.0, 12.0})
        partly.addNewValue(v, v + 10);
    partly.getForCurrentZoomModeValueDelta(&delta, &minimum);
    EXPECT_EQ(minimum, 0.0f);
    EXPECT_EQ(delta, 22.0f);
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
    float delta = 0, minimum = 0;
    graph.getForCurrentZoomModeValueDelta(&delta, &minimum);
    EXPECT_EQ(minimum, 20.0f);
    EXPECT_EQ(delta, 20.0f);

    LogCapture log;
    graph.setFixedRangeWithMinimum(5, 5);
    graph.setFixedRangeWithMinimum(9, 3);
    EXPECT_EQ(log.messages(LogLevel::Error),
        QStringList({"QRNBufferedGraph: invalid range [5.000000, 5.000000], ignoring...",
            "QRNBufferedGraph: invalid range [9.000000, 3.000000], ignoring..."}));
    EXPECT_EQ(graph.minimumValue(), 20.0f);
    EXPECT_EQ(graph.maximumValue(), 40.0f);
}

TEST(QRNBufferedGraph, CapacityAndSeriesChangesRebuildOnlyWhenTheyChangeSomething)
{
    QRNBufferedGraph graph = rampOf(4);
    graph.addNewValue(9);
    graph.setCapacity(0);
    graph.setCapacity(4);
    graph.setUsesSecondaryGraph(false);
    EXPECT_EQ(graph.capacity(), 4u);
    EXPECT_EQ(graph.currentIndex(), 1u);
    EXPECT_EQ(graph.maximumValue(), 9.0f);

    graph.setCapacity(6);
    EXPECT_EQ(graph.historyValues(), std::vector<float>(6, 0.0f));
    EXPECT_EQ(graph.currentIndex(), 0u);
    EXPECT_EQ(graph.maximumValue(), 0.0f);

    graph.addNewValue(3);
    graph.setUsesSecondaryGraph(true);
    EXPECT_EQ(graph.secondaryHistoryValues(), std::vector<float>(6, 0.0f));
    EXPECT_EQ(graph.historyValues(), std::vector<float>(6, 0.0f));
}

TEST(QRNBufferedGraph, DemoValuesAreOnePeriodOfSineAndCosine)
{
    QRNBufferedGraph graph;
    graph.setCapacity(4);
    graph.setUsesSecondaryGraph(true);
    graph.fillBufferWithDemoValues();
    EXPECT_EQ(graph.currentIndex(), 0u);
    const std::vector<float> sine{1, 2, 1, 0};
    const std::vector<float> cosine{2, 1, 0, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(graph.historyValues()[i], sine[i], 1e-6);
        EXPECT_NEAR(graph.secondaryHistoryValues()[i], cosine[i], 1e-6);
    }
}

// Drawings, at device pixel ratios 1 and 2. The graph area of a 66 × 22
// rectangle is inset by 2 points: its frame runs from (2, 2) to (64, 20).
class BufferedGraphDrawing : public ::testing::TestWithParam<qreal> {
protected:
    QImage draw(const QRNBufferedGraph& graph, const QPalette& palette = lightPalette()) const
    {
        return render(QSizeF(66, 22), GetParam(), palette,
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
        // Sample j + 1 reaches 2 + 0.6 (j + 1); the run starts above the frame's
        // bottom line, and near the top it joins the frame's top line.
        const double x = 2 + j * step;
        const double top = 2 + 0.6 * (j + 1);
        const double run = inkedRunUpwards(image, x, 3 + pixel() / 2);
        if (top < 18) {
            EXPECT_NEAR(run, std::max(top - 3, 0.0), pixel() + 0.35) << "column " << j;
        }
        EXPECT_GE(run, previous) << "column " << j;
        previous = run;
    }
    EXPECT_LT(inkedRunUpwards(image, 2 + step, 3 + pixel() / 2), 1.0);
    EXPECT_EQ(inkedRunUpwards(image, 2 + 28 * step, 3 + pixel() / 2), 17.0) << "up to the top of the frame";
    EXPECT_FALSE(isInked(image, 6, 15)) << "nothing above the curve on the left";
}

TEST_P(BufferedGraphDrawing, AnAllZeroHistoryIsAFlatLineOnTheBase)
{
    QRNBufferedGraph graph;
    graph.setCapacity(30);
    for (int i = 0; i < 30; ++i)
        graph.addNewValue(0);
    const QImage image = draw(graph);
    EXPECT_EQ(inkedFraction(image, QRectF(3, 3, 60, 16), 1), 0.0);
    EXPECT_EQ(inkedFraction(image, QRectF(2, 2, 62, 1)), 1.0);
    EXPECT_EQ(inkedFraction(image, QRectF(0, 0, 66, 2), 1), 0.0) << "nothing below the base";
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

TEST_P(BufferedGraphDrawing, ACopyDrawsTheSamePictureAndKeepsItsOwnHistory)
{
    QRNBufferedGraph graph;
    graph.setCapacity(30);
    graph.setUsesSecondaryGraph(true);
    graph.fillBufferWithDemoValues();
    graph.addNewValue(3, 1);
    QRNBufferedGraph copy = graph;
    EXPECT_EQ(draw(copy), draw(graph));
    EXPECT_EQ(copy.minimumValue(), graph.minimumValue());
    EXPECT_EQ(copy.maximumValue(), graph.maximumValue());
    EXPECT_EQ(copy.minimumValue2(), graph.minimumValue2());
    EXPECT_EQ(copy.maximumValue2(), graph.maximumValue2());

    copy.addNewValue(8, 8);
    EXPECT_NE(draw(copy), draw(graph));
    EXPECT_EQ(graph.maximumValue(), 3.0f);
}

TEST_P(BufferedGraphDrawing, ColoursFollowThePaletteAndInsetsNarrowTheArea)
{
    QRNBufferedGraph graph = rampOf(30);
    graph.setHorizontalOffsets(10);
    const QImage dark = draw(graph, darkPalette());
    EXPECT_EQ(colorAt(dark, 12.5, 10), QColor(Qt::white)) << "frame's left line moved in by the offset";
    EXPECT_EQ(alphaAt(dark, 11, 10), 0);
    EXPECT_EQ(alphaAt(dark, 55, 10), 0);

    graph.setGraphColor(QColor(0, 200, 0));
    graph.setFrameColor(MenuBarColor::System::Accent);
    const QImage fixed = draw(graph, darkPalette());
    EXPECT_EQ(colorAt(fixed, 40, 5), QColor(0, 200, 0));
    EXPECT_EQ(colorAt(fixed, 12.5, 10), darkPalette().color(QPalette::Highlight));
}

INSTANTIATE_TEST_SUITE_P(DevicePixelRatios, BufferedGraphDrawing, ::testing::Values(1.0, 2.0));
