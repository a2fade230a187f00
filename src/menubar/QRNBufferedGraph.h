#pragma once

#include "menubar/MenuBarColor.h"

#include <QPolygonF>
#include <QRectF>
#include <QtGlobal>

#include <vector>

class MenuBarDrawing;

// The most recent samples of one or two series in a ring buffer of fixed
// capacity, drawn as filled area graphs that scroll from right to left (the
// newest sample at the right edge). Backs the graph cells of the menu bar and
// the graph views inside menus. Copies are deep.
class QRNBufferedGraph {
public:
    QRNBufferedGraph();

    // Ignored for 0 and for the present capacity; otherwise empties the history.
    void setCapacity(quint32 capacity);
    quint32 capacity() const { return m_capacity; }
    // Adds or drops the second series; a change empties the history.
    void setUsesSecondaryGraph(bool usesSecondaryGraph);
    bool usesSecondaryGraph() const { return !m_secondaryHistoryValues.empty(); }
    // Zero-filled buffers of the present capacity; the running ranges start again at 0.
    void rebuildHistoryBuffersUseSecondary(bool useSecondary);

    // Samples must not be negative; a negative one is reported and dropped.
    void addNewValue(double value);
    // The second value is stored only when there is a second series, but it
    // always widens the second range.
    void addNewValue(double value, double secondaryValue);
    // A starting range for the first series (samples outside still widen it);
    // switches local zooming off. Rejected unless minimum < maximum.
    void setFixedRangeWithMinimum(double minimum, double maximum);
    // One period of a sine (first series) and cosine (second), shifted up by 1.
    void fillBufferWithDemoValues();

    // The scale of the drawing: the range of the samples in the buffer when
    // zooming locally, else the running range(s). Either output may be null.
    void getForCurrentZoomModeValueDelta(float* delta, float* minimum) const;

    // Draws the series and the frame into the rectangle (design coordinates).
    void drawInRect(MenuBarDrawing& drawing, const QRectF& rect) const;

    double horizontalOffsets() const { return m_horizontalOffsets; }
    void setHorizontalOffsets(double offsets) { m_horizontalOffsets = offsets; }
    bool showsOpposedGraphs() const { return m_showsOpposedGraphs; }
    void setShowsOpposedGraphs(bool opposed) { m_showsOpposedGraphs = opposed; }
    bool zoomsLocally() const { return m_zoomsLocally; }
    void setZoomsLocally(bool zooms) { m_zoomsLocally = zooms; }
    const MenuBarColor& frameColor() const { return m_frameColor; }
    void setFrameColor(const MenuBarColor& color) { m_frameColor = color; }
    const MenuBarColor& graphColor() const { return m_graphColor; }
    void setGraphColor(const MenuBarColor& color) { m_graphColor = color; }
    const MenuBarColor& secondaryGraphColor() const { return m_secondaryGraphColor; }
    void setSecondaryGraphColor(const MenuBarColor& color) { m_secondaryGraphColor = color; }

    // The slot the next sample overwrites, which holds the oldest sample.
    quint32 currentIndex() const { return m_currentIndex; }
    const std::vector<float>& historyValues() const { return m_historyValues; }
    // Empty when there is no second series.
    const std::vector<float>& secondaryHistoryValues() const { return m_secondaryHistoryValues; }
    float minimumValue() const { return m_minimumValue; }
    float maximumValue() const { return m_maximumValue; }
    float minimumValue2() const { return m_minimumValue2; }
    float maximumValue2() const { return m_maximumValue2; }

private:
    void advance();
    static void widen(float value, float& minimum, float& maximum);

    std::vector<float> m_historyValues;
    std::vector<float> m_secondaryHistoryValues;
    quint32 m_currentIndex = 0;
    float m_minimumValue = 0;
    float m_maximumValue = 0;
    float m_minimumValue2 = 0;
    float m_maximumValue2 = 0;
    bool m_showsOpposedGraphs = false;
    bool m_zoomsLocally = false;
    double m_horizontalOffsets = 0;
    // The curve of a series, kept from one drawing to the next for its storage.
    mutable QPolygonF m_curve;
    quint32 m_capacity = 1;
    MenuBarColor m_frameColor = MenuBarColor::System::Text;
    MenuBarColor m_graphColor = MenuBarColor::System::Text;
    MenuBarColor m_secondaryGraphColor = MenuBarColor::System::TertiaryLabel;
};
