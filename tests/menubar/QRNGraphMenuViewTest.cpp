#include "menubar/QRNGraphMenuView.h"

#include "menubar/PixelProbe.h"
#include "menubar/ViewRendering.h"

#include <gtest/gtest.h>

using namespace PixelProbe;

namespace {

// A graph view as monitor items make one, stretched to a 300-point menu:
// the graph area runs from x = 22 to 278 and from y = 2 to 38 (points, from
// the bottom left), 29 steps of 256 / 29 points between its 30 samples.
constexpr double Left = 22;
constexpr double Right = 278;
constexpr double Step = 256.0 / 29;

std::unique_ptr<QRNGraphMenuView> makeGraph()
{
    auto view = std::make_unique<QRNGraphMenuView>(QRect(0, 0, 300, 40));
    view->setPalette(lightPalette());
    view->setHorizontalOffsets(20);
    view->setCapacity(30);
    return view;
}

// The label colour (the text colour at 85 %) painted over the accent.
QColor labelOverAccent(const QPalette& palette)
{
    const QColor label = palette.color(QPalette::WindowText);
    const QColor accent = palette.color(QPalette::Highlight);
    const auto mix = [](int top, int bottom) { return qRound(0.85 * top + 0.15 * bottom); };
    return QColor(mix(label.red(), accent.red()), mix(label.green(), accent.green()), mix(label.blue(), accent.blue()));
}

bool isNear(const QColor& actual, const QColor& expected)
{
    return std::abs(actual.red() - expected.red()) <= 2 && std::abs(actual.green() - expected.green()) <= 2
        && std::abs(actual.blue() - expected.blue()) <= 2 && actual.alpha() == expected.alpha();
}

class GraphMenuViewAtRatio : public testing::TestWithParam<qreal> {
protected:
    QImage draw(QRNGraphMenuView& view) const { return ViewRendering::render(view, GetParam()); }
};

} // namespace

TEST_P(GraphMenuViewAtRatio, ShowsTheGraphInsideItsInsets)
{
    auto view = makeGraph();
    for (int i = 0; i < 30; ++i)
        view->addNewValue(1);
    const QImage image = draw(*view);

    EXPECT_EQ(inkedFraction(image, QRectF(0, 0, 20, 40), 1), 0.0) << "left inset";
    EXPECT_EQ(inkedFraction(image, QRectF(280, 0, 20, 40), 1), 0.0) << "right inset";
    EXPECT_EQ(inkedFraction(image, QRectF(0, 0, 300, 1.5), 1), 0.0) << "bottom margin";
    EXPECT_EQ(inkedFraction(image, QRectF(0, 38.5, 300, 1.5), 1), 0.0) << "top margin";
    EXPECT_EQ(inkedFraction(image, QRectF(Left + 1.5, 3.5, Right - Left - 3, 33)), 1.0) << "full samples fill the area";

    // Without insets the graph reaches to 2 points from the view's edges.
    view->setHorizontalOffsets(0);
    EXPECT_GT(inkedFraction(draw(*view), QRectF(3, 3, 10, 34)), 0.99);
}

TEST_P(GraphMenuViewAtRatio, FillsInTheAccentColourFramedInTheLabelColour)
{
    auto view = makeGraph();
    view->setFixedRangeWithMinimum(0, 1);
    for (int i = 0; i < 30; ++i)
        view->addNewValue(0.5);
    const QPalette palette = lightPalette();
    const QImage image = draw(*view);
    EXPECT_EQ(colorAt(image, 150, 10), palette.color(QPalette::Highlight));
    EXPECT_EQ(alphaAt(image, 150, 30), 0) << "above the samples";
    const QColor frame = colorAt(image, 150, 37.5);
    EXPECT_EQ(frame.rgb(), palette.color(QPalette::WindowText).rgb());
    EXPECT_NEAR(frame.alpha(), 0.85 * 255, 2) << "labels are the text colour at 85 %";

    // The second series, painted over the first, takes the label colour.
    view->setUsesSecondaryGraph(true);
    view->setFixedRangeWithMinimum(0, 1);
    for (int i = 0; i < 30; ++i)
        view->addNewValue(0.75, 0.25);
    const QImage both = draw(*view);
    EXPECT_PRED2(isNear, colorAt(both, 150, 5), labelOverAccent(palette));
    EXPECT_EQ(colorAt(both, 150, 20), palette.color(QPalette::Highlight));

    // A dark theme reaches the graph the next time it is drawn.
    view->setPalette(darkPalette());
    EXPECT_PRED2(isNear, colorAt(draw(*view), 150, 5), labelOverAccent(darkPalette()));
}

TEST_P(GraphMenuViewAtRatio, ThirtySamplesShowAllAndTheThirtyFirstScrollsTheOldestOut)
{
    auto view = makeGraph();
    // Two spikes: the oldest sample and the newest.
    view->addNewValue(1);
    for (int i = 1; i < 29; ++i)
        view->addNewValue(0);
    view->addNewValue(1);
    const QImage full = draw(*view);
    EXPECT_TRUE(isInked(full, Left + 0.25 * Step, 20)) << "the oldest sample, at the left edge";
    EXPECT_TRUE(isInked(full, Right - 0.25 * Step, 20)) << "the newest sample, at the right edge";
    EXPECT_FALSE(isInked(full, 150, 20));

    view->addNewValue(0);
    const QImage scrolled = draw(*view);
    EXPECT_FALSE(isInked(scrolled, Left + 0.25 * Step, 20)) << "the oldest sample is gone";
    EXPECT_FALSE(isInked(scrolled, Right - 0.25 * Step, 20));
    EXPECT_TRUE(isInked(scrolled, Right - Step, 20)) << "the spike moved one step to the left";
}

INSTANTIATE_TEST_SUITE_P(DevicePixelRatios, GraphMenuViewAtRatio, testing::Values(1.0, 2.0));

TEST(QRNGraphMenuView, AccessibleNameCountsTheValuesShown)
{
    QRNGraphMenuView view(QRect(0, 0, 100, 40));
    EXPECT_EQ(view.accessibleName(), QStringLiteral("graph of 1 value"));
    view.setCapacity(30);
    EXPECT_EQ(view.accessibleName(), QStringLiteral("graph of 30 values"));

    QRNBufferedGraph longer;
    longer.setCapacity(60);
    view.setBufferedGraph(longer);
    EXPECT_EQ(view.accessibleName(), QStringLiteral("graph of 60 values"));
    EXPECT_EQ(view.capacity(), 60u);
}
