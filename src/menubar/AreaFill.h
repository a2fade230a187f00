#pragma once

#include <QImage>
#include <QPolygonF>

#include <vector>

// The area between a horizontal base line and a curve, filled antialiased in
// an opaque colour straight into a premultiplied image. A graph is such an
// area; filled here it costs a fraction of a general polygon fill, whose
// pixels it matches to a level or two of coverage: each pixel gets the share
// of its square that the area covers, computed exactly.
class AreaFill {
public:
    // The curve and the base are in device pixels (x to the right, y
    // downwards); the curve's x never decreases. The area runs from the
    // curve's first point to its last, on either side of the base.
    void fill(QImage& image, const QPolygonF& curve, double base, QRgb opaque);

private:
    // Adds the area over the columns of the piece from (x1, y1) to (x2, y2),
    // which stays on one side of the base.
    void addPiece(double x1, double y1, double x2, double y2, double base);
    // Columns are filled from left to right; reaching a column paints the ones before it.
    void addToColumn(int column, double x1, double y1, double x2, double y2, double base);
    void paintColumn();

    QImage* m_image = nullptr;
    QRgb m_opaque = 0;
    // Coverage of the rows of the column being filled, in pixel areas.
    std::vector<double> m_coverage;
    int m_column = 0;
    int m_firstRow = 0;
    int m_lastRow = -1;
};
