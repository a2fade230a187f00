#pragma once

#include "menubar/QRNBufferedGraph.h"
#include "menubar/ConcreteMenuBarCell.h"

// A history graph in the menu bar: one or two series, normal or opposed, three
// times as wide as high (times the class-wide history width factor).
class QRNGraphMenuBarCell : public ConcreteMenuBarCell<QRNGraphMenuBarCell> {
public:
    static constexpr char ClassName[] = "QRNGraphMenuBarCell";

    QRNGraphMenuBarCell();

    // Taken only within [0.5, 2]; 1 at start.
    static void setWidthScalingFactor(double factor);
    static double widthScalingFactor();

    // "1" or "2" series, then "N" normal or "O" opposed.
    static std::unique_ptr<QRNGraphMenuBarCell> initWithDetailStringCode(const QString& detail);

    // Frame and first series in the foreground colour; the second series
    // keeps the buffer's own colour.
    void drawWithFrame(MenuBarDrawing& drawing, const QRectF& frame) override;
    QString stringCode() const override;
    // The whole history squeezed into the square.
    QImage compactImage(int side, const QPalette& palette) override;
    double width() const override;

    void setCapacity(quint32 capacity) { m_bufferedGraph.setCapacity(capacity); }
    quint32 capacity() const { return m_bufferedGraph.capacity(); }
    void setUsesSecondaryGraph(bool uses) { m_bufferedGraph.setUsesSecondaryGraph(uses); }
    bool usesSecondaryGraph() const { return m_bufferedGraph.usesSecondaryGraph(); }
    void setShowsOpposedGraphs(bool opposed) { m_bufferedGraph.setShowsOpposedGraphs(opposed); }
    bool showsOpposedGraphs() const { return m_bufferedGraph.showsOpposedGraphs(); }
    void setZoomsLocally(bool zooms) { m_bufferedGraph.setZoomsLocally(zooms); }
    bool zoomsLocally() const { return m_bufferedGraph.zoomsLocally(); }
    void addNewValue(double value) { m_bufferedGraph.addNewValue(value); }
    void addNewValue(double value, double secondaryValue) { m_bufferedGraph.addNewValue(value, secondaryValue); }
    void rebuildHistoryBuffersUseSecondary(bool useSecondary) { m_bufferedGraph.rebuildHistoryBuffersUseSecondary(useSecondary); }
    void fillBufferWithDemoValues() { m_bufferedGraph.fillBufferWithDemoValues(); }

    const QRNBufferedGraph& bufferedGraph() const { return m_bufferedGraph; }
    QRNBufferedGraph& bufferedGraph() { return m_bufferedGraph; }
    void setBufferedGraph(const QRNBufferedGraph& graph) { m_bufferedGraph = graph; }

private:
    QRNBufferedGraph m_bufferedGraph;
};
