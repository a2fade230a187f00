#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QWidget>

#include <optional>

// Helpers for tests that look at what a view really draws, in physical pixels.
namespace ViewRendering {

// The view drawn over a transparent image, as a menu would show it.
inline QImage render(QWidget& view, qreal devicePixelRatio)
{
    QImage image((QSizeF(view.size()) * devicePixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

inline bool isInk(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)) > 96; }

struct Span {
    int first;
    int last;
};

// First and last column (Qt::Horizontal) or row that holds ink.
inline std::optional<Span> inkSpan(const QImage& image, Qt::Orientation across)
{
    const bool columns = across == Qt::Horizontal;
    std::optional<Span> span;
    for (int line = 0; line < (columns ? image.width() : image.height()); ++line)
        for (int i = 0; i < (columns ? image.height() : image.width()); ++i)
            if (columns ? isInk(image, line, i) : isInk(image, i, line)) {
                span = Span{span ? span->first : line, line};
                break;
            }
    return span;
}

inline std::optional<Span> inkColumns(const QImage& image) { return inkSpan(image, Qt::Horizontal); }
inline std::optional<Span> inkRows(const QImage& image) { return inkSpan(image, Qt::Vertical); }

// A font on every test machine, sized in pixels so it measures the same on any screen.
inline QFont testFont(int pixelSize = 13)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace ViewRendering
