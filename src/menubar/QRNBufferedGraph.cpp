#include "menubar/QRNBufferedGraph.h"

#include "menubar/MenuBarDrawing.h"
#include "platform/log/Log.h"

#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {
const QString ClassName = QStringLiteral("QRNBufferedGraph");
} // namespace

QRNBufferedGraph::QRNBufferedGraph()
    : m_historyValues(1, 0.0f)
{
}

void QRNBufferedGraph::setCapacity(quint32 capacity)
{
    if (capacity == 0 || capacity == m_capacity)
        return;
    m_capacity = capacity;
    rebuildHistoryBuffersUseSecondary(usesSecondaryGraph());
}

void QRNBufferedGraph::setUsesSecondaryGraph(bool usesSecondaryGraph)
{
    if (usesSecondaryGraph == this->usesSecondaryGraph())
        return;
    rebuildHistoryBuffersUseSecondary(usesSecondaryGraph);
}

void QRNBufferedGraph::rebuildHistoryBuffersUseSecondary(bool useSecondary)
{
    if (m_capacity == 0)
        return;
    m_historyValues.assign(m_capacity, 0.0f);
    if (useSecondary)
        m_secondaryHistoryValues.assign(m_capacity, 0.0f);
    else
        m_secondaryHistoryValues.clear();
    m_currentIndex = 0;
    m_minimumValue = m_maximumValue = m_minimumValue2 = m_maximumValue2 = 0;
}

void QRNBufferedGraph::addNewValue(double value)
{
    if (value < 0) {
        Log::error("%{public}@: this implementation is designed for positive values only. Ignoring value %f.",
            {ClassName, value});
        return;
    }
    m_historyValues[m_currentIndex] = float(value);
    advance();
    widen(float(value), m_minimumValue, m_maximumValue);
}

void QRNBufferedGraph::addNewValue(double value, double secondaryValue)
{
    if (value < 0 || secondaryValue < 0) {
        Log::error("%{public}@: implementation is designed for positive values only. Ignoring value pair (%f, %f).",
            {ClassName, value, secondaryValue});
        return;
    }
    m_historyValues[m_currentIndex] = float(value);
    if (usesSecondaryGraph())
        m_secondaryHistoryValues[m_currentIndex] = float(secondaryValue);
    advance();
    widen(float(value), m_minimumValue, m_maximumValue);
    widen(float(secondaryValue), m_minimumValue2, m_maximumValue2);
}

void QRNBufferedGraph::advance()
{
    if (++m_currentIndex >= m_capacity)
        m_currentIndex = 0;
}

void QRNBufferedGraph::widen(float value, float& minimum, float& maximum)
{
    if (value < minimum)
        minimum = value;
    if (value > maximum)
        maximum = value;
}

void QRNBufferedGraph::setFixedRangeWithMinimum(double minimum, double maximum)
{
    if (!(minimum < maximum)) {
        Log::error("%{public}@: invalid range [%f, %f], ignoring...", {ClassName, minimum, maximum});
        return;
    }
    m_zoomsLocally = false;
    m_minimumValue = float(minimum);
    m_maximumValue = float(maximum);
}

void QRNBufferedGraph::fillBufferWithDemoValues()
{
    for (quint32 i = 0; i < m_capacity; ++i) {
        const double angle = 2 * std::numbers::pi * i / m_capacity;
        addNewValue(std::sin(angle) + 1, std::cos(angle) + 1);
    }
}

void QRNBufferedGraph::getForCurrentZoomModeValueDelta(float* delta, float* minimum) const
{
    float low = 0;
    float high = 0;
    if (m_zoomsLocally) {
        low = std::numeric_limits<float>::max();
        high = std::numeric_limits<float>::lowest();
        for (const auto* series : {&m_historyValues, &m_secondaryHistoryValues}) {
            for (float value : *series) {
                low = std::min(low, value);
                high = std::max(high, value);
            }
        }
    } else if (usesSecondaryGraph()) {
        low = std::min(m_minimumValue, m_minimumValue2);
        high = std::max(m_maximumValue, m_maximumValue2);
    } else {
        low = m_minimumValue;
        high = m_maximumValue;
    }
    if (delta)
        *delta = high - low;
    if (minimum)
        *minimum = low;
}

void QRNBufferedGraph::drawInRect(MenuBarDrawing& drawing, const QRectF& rect) const
{
    const double offsets = m_horizontalOffsets;
    const double graphWidth = rect.width() - 2 * offsets - 4;
    const double step = m_capacity > 1 ? graphWidth / (m_capacity - 1) : graphWidth;

    float delta = 0;
    float minimum = 0;
    getForCurrentZoomModeValueDelta(&delta, &minimum);
    if (delta == 0)
        delta = 1;
    double scale = (rect.height() - 4) / delta;
    if (m_showsOpposedGraphs)
        scale /= 2;

    const double left = rect.x() + offsets + 2;
    const double bottom = rect.y() + 2;
    const double top = rect.y() + rect.height() - 2;

    // One area per series, between the base line and the samples from the
    // oldest (at currentIndex) to the newest.
    QPolygonF& curve = m_curve;
    curve.reserve(qsizetype(m_capacity));
    const auto drawSeries = [&](const std::vector<float>& values, double base, double direction, const QColor& color) {
        curve.clear();
        for (quint32 j = 0; j < m_capacity; ++j) {
            const float value = values[(m_currentIndex + j) % m_capacity];
            curve << drawing.point(left + j * step, base + direction * scale * (value - minimum));
        }
        drawing.fillArea(curve, drawing.point(left, base).y(), color);
    };

    drawSeries(m_historyValues, bottom, 1, drawing.color(m_graphColor));
    // Opposed, the second series hangs from the top; otherwise it is painted over the first.
    if (usesSecondaryGraph()) {
        drawSeries(m_secondaryHistoryValues, m_showsOpposedGraphs ? top : bottom, m_showsOpposedGraphs ? -1 : 1,
            drawing.color(m_secondaryGraphColor));
    }
    drawing.frameRect(QRectF(left, bottom, graphWidth, rect.height() - 4), drawing.color(m_frameColor));
}
