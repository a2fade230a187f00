#include "menubar/AreaFill.h"

#include "platform/statusbar/PremultipliedPixels.h"

#include <algorithm>
#include <cmath>

namespace {

// The integral from 0 to u of clamp(v, 0, width).
double rampIntegral(double u, double width)
{
    if (u <= 0)
        return 0;
    if (u < width)
        return u * u / 2;
    return width * u - width * width / 2;
}

} // namespace

void AreaFill::fill(QImage& image, const QPolygonF& curve, double base, QRgb opaque)
{
    if (curve.size() < 2 || image.format() != QImage::Format_ARGB32_Premultiplied)
        return;
    m_image = &image;
    m_opaque = opaque;
    m_coverage.assign(std::size_t(image.height()), 0.0);
    m_column = int(std::floor(curve.first().x()));
    m_firstRow = image.height();
    m_lastRow = -1;
    for (qsizetype i = 1; i < curve.size(); ++i) {
        const QPointF& from = curve[i - 1];
        const QPointF& to = curve[i];
        // A piece on the base covers nothing: graphs of idle devices are mostly such pieces.
        if (to.x() <= from.x() || (from.y() == base && to.y() == base))
            continue;
        // A piece that crosses the base is split where it does.
        if ((from.y() - base) * (to.y() - base) < 0) {
            const double x = from.x() + (to.x() - from.x()) * (base - from.y()) / (to.y() - from.y());
            addPiece(from.x(), from.y(), x, base, base);
            addPiece(x, base, to.x(), to.y(), base);
        } else {
            addPiece(from.x(), from.y(), to.x(), to.y(), base);
        }
    }
    paintColumn();
    m_image = nullptr;
}

void AreaFill::addPiece(double x1, double y1, double x2, double y2, double base)
{
    const double slope = (y2 - y1) / (x2 - x1);
    for (double x = x1; x < x2;) {
        const double columnEnd = std::floor(x) + 1;
        const double end = std::min(columnEnd, x2);
        addToColumn(int(std::floor(x)), x, y1 + (x - x1) * slope, end, y1 + (end - x1) * slope, base);
        x = end;
    }
}

void AreaFill::addToColumn(int column, double x1, double y1, double x2, double y2, double base)
{
    // The columns in between got nothing: pieces come from left to right.
    if (m_column < column) {
        paintColumn();
        m_column = column;
    }
    const double width = x2 - x1;
    const double curveTop = std::min(y1, y2);
    const double curveBottom = std::max(y1, y2);
    const bool above = curveTop < base;
    const int firstRow = std::max(int(std::floor(std::min(curveTop, base))), 0);
    const int lastRow = std::min(int(std::ceil(std::max(curveBottom, base))) - 1, int(m_coverage.size()) - 1);
    // The rows between the curve and the base are covered whole.
    const int firstWhole = int(std::ceil(above ? curveBottom : base));
    const int lastWhole = int(std::floor(above ? base : curveTop)) - 1;
    for (int row = firstRow; row <= lastRow; ++row) {
        if (row >= firstWhole && row <= lastWhole) {
            m_coverage[std::size_t(row)] += width;
            continue;
        }
        // The part of the row's height on the base's side of the line.
        const double from = above ? double(row) : std::max(double(row), base);
        const double to = above ? std::min(double(row) + 1, base) : double(row) + 1;
        const double rowWidth = to - from;
        if (rowWidth <= 0)
            continue;
        double covered;
        if (above ? curveBottom <= from : curveTop >= to) {
            covered = width * rowWidth;
        } else if (above ? curveTop >= to : curveBottom <= from) {
            covered = 0;
        } else if (y1 == y2) {
            covered = width * std::clamp(above ? to - y1 : y1 - from, 0.0, rowWidth);
        } else {
            // The mean over the piece of the covered height, clamp(to - y)
            // above the base or clamp(y - from) below it, y linear in x.
            const double integral = above ? rampIntegral(to - y1, rowWidth) - rampIntegral(to - y2, rowWidth)
                                          : rampIntegral(y2 - from, rowWidth) - rampIntegral(y1 - from, rowWidth);
            covered = width * integral / (y2 - y1);
        }
        m_coverage[std::size_t(row)] += covered;
    }
    m_firstRow = std::min(m_firstRow, firstRow);
    m_lastRow = std::max(m_lastRow, lastRow);
}

void AreaFill::paintColumn()
{
    QImage& image = *m_image;
    const bool inside = m_column >= 0 && m_column < image.width();
    for (int row = m_firstRow; row <= m_lastRow; ++row) {
        double& covered = m_coverage[std::size_t(row)];
        // Coverage in 256ths, truncated and capped below 256 as the raster engine's.
        const int alpha = std::min(int(covered * 256 + 1e-6), 255);
        covered = 0;
        if (!inside || alpha <= 0)
            continue;
        quint32* pixel = PremultipliedPixels::writablePixels(image, m_column, row);
        const quint32 source = alpha == 255 ? m_opaque : PremultipliedPixels::byteMultiply(m_opaque, quint32(alpha));
        *pixel = source + PremultipliedPixels::byteMultiply(*pixel, 255 - qAlpha(source));
    }
    m_firstRow = image.height();
    m_lastRow = -1;
}
