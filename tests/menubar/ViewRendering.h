#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QWidget>

#include <optional>

// Helpers for tests that look at what a view really draws.
namespace ViewRendering {

// The view drawn over a transparent image at the given device pixel ratio,
// as a menu would show it. Coordinates in the image are physical pixels.
inline QImage render(QWidget& view, qreal devicePixelRatio)
{
    QImage image((QSizeF(view.size()) * devicePixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

inline bool isInk(const QImage& image, int x, int y)
{
    return qAlpha(image.pixel(x, y)) > 96;
}

struct Span {
    int first;
    int last;
};

// First and last column holding ink, in physical pixels.
inline std::optional<Span> inkColumns(const QImage& image)
{
    std::optional<Span> span;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (isInk(image, x, y)) {
                span = Span{span ? span->first : x, x};
                break;
            }
    return span;
}

// First and last row holding ink, in physical pixels.
inline std::optional<Span> inkRows(const QImage& image)
{
    std::optional<Span> span;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isInk(image, x, y)) {
                span = Span{span ? span->first : y, y};
                break;
            }
    return span;
}

// A font that is on every test machine, sized in pixels so that it measures
// the same whatever the screen.
inline QFont testFont(int pixelSize = 13)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace ViewRendering
