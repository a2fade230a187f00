#pragma once

#include "menubar/QRNBufferedGraph.h"

#include <QRect>
#include <QWidget>

// A history graph the width of its menu. Everything but drawing is the
// buffer's; the view redraws when a sample arrives or the insets change.
class QRNGraphMenuView : public QWidget {
    Q_OBJECT
public:
    explicit QRNGraphMenuView(const QRect& frame, QWidget* parent = nullptr);

    double horizontalOffsets() const { return m_bufferedGraph.horizontalOffsets(); }
    void setHorizontalOffsets(double offsets);

    void addNewValue(double value);
    void addNewValue(double value, double secondaryValue);

    quint32 capacity() const { return m_bufferedGraph.capacity(); }
    void setCapacity(quint32 capacity);
    bool usesSecondaryGraph() const { return m_bufferedGraph.usesSecondaryGraph(); }
    void setUsesSecondaryGraph(bool usesSecondaryGraph) { m_bufferedGraph.setUsesSecondaryGraph(usesSecondaryGraph); }
    bool showsOpposedGraphs() const { return m_bufferedGraph.showsOpposedGraphs(); }
    void setShowsOpposedGraphs(bool opposed) { m_bufferedGraph.setShowsOpposedGraphs(opposed); }
    bool zoomsLocally() const { return m_bufferedGraph.zoomsLocally(); }
    void setZoomsLocally(bool zooms) { m_bufferedGraph.setZoomsLocally(zooms); }
    void setFixedRangeWithMinimum(double minimum, double maximum) { m_bufferedGraph.setFixedRangeWithMinimum(minimum, maximum); }
    void rebuildHistoryBuffersUseSecondary(bool useSecondary) { m_bufferedGraph.rebuildHistoryBuffersUseSecondary(useSecondary); }

    const QRNBufferedGraph& bufferedGraph() const { return m_bufferedGraph; }
    void setBufferedGraph(const QRNBufferedGraph& graph);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void describeGraph();

    QRNBufferedGraph m_bufferedGraph;
};
