#include "menubar/TextImageCache.h"

#include "menubar/MenuBarDrawing.h"
#include "menubar/PixelProbe.h"

#include <QTextLayout>

#include <gtest/gtest.h>

using namespace PixelProbe;

namespace {

class TextImageCacheDrawing : public ::testing::TestWithParam<qreal> {
protected:
    QImage canvas() const
    {
        QImage image(QSize(160, 40) * GetParam(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(GetParam());
        image.fill(Qt::transparent);
        return image;
    }
};

// Pixels with any ink, in device pixels.
QRect inkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 32)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// What Qt draws for the text with nothing cached: one line on its baseline,
// several lines or tabbed fields through a text layout of the whole block.
QImage drawnDirectly(QImage image, const QPointF& bottomLeft, const QString& text, const QFont& font,
    const QTextOption& option)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::black);
    if (!text.contains(u'\t') && !text.contains(u'\n')) {
        painter.setFont(font);
        const QFontMetricsF metrics(font, &TextImageCache::referenceDevice());
        painter.drawText(bottomLeft - QPointF(0, metrics.descent()), text);
        return image;
    }
    QString lines = text;
    lines.replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(lines, font, &TextImageCache::referenceDevice());
    QTextOption unwrapped = option;
    unwrapped.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(unwrapped);
    layout.beginLayout();
    double height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(1.0e6);
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    layout.draw(&painter, bottomLeft - QPointF(0, height));
    return image;
}

QImage drawnThroughCache(QImage image, const QPointF& bottomLeft, const QString& text, const QFont& font,
    const QTextOption& option)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    TextImageCache::shared().draw(painter, bottomLeft, text, font, Qt::black, option);
    return image;
}

} // namespace

// Labels, numbers set digit by digit and tabbed two-line texts land where a
// text layout puts them, at whole and fractional positions, and a text found
// in the cache is drawn exactly as when it was first rasterized.
TEST_P(TextImageCacheDrawing, CachedTextsLandWhereATextLayoutDrawsThem)
{
    const QFont font = MenuBarDrawing::menuBarFont();
    QTextOption tabbed;
    tabbed.setTabs({QTextOption::Tab(14, QTextOption::RightTab), QTextOption::Tab(52, QTextOption::RightTab)});
    const std::pair<QString, QTextOption> texts[] = {
        {QStringLiteral("CPU"), {}},
        {QStringLiteral("47%"), {}},
        {QStringLiteral("-3.25"), {}},
        {QStringLiteral("\tU:\t3.4 GB\n\tF:\t12.0 GB"), tabbed},
    };
    for (const auto& [text, option] : texts) {
        const double width = TextImageCache::shared().blockSize(text, font, option).width();
        for (const QPointF at : {QPointF(4, 30), QPointF(9.25, 31.5), QPointF(20.6, 29.3)}) {
            const QImage cached = drawnThroughCache(canvas(), at, text, font, option);
            const QImage again = drawnThroughCache(canvas(), at, text, font, option);
            const QImage direct = drawnDirectly(canvas(), at, text, font, option);
            const QRect ink = inkBounds(cached);
            const QRect expected = inkBounds(direct);
            const QString where = text + QStringLiteral(" at %1,%2").arg(at.x()).arg(at.y());
            EXPECT_EQ(largestDifference(cached, again), 0) << where.toStdString();
            // Numbers are set from single digits, so they may drift by a pixel at their end.
            EXPECT_LE(std::abs(ink.left() - expected.left()), 1) << where.toStdString();
            EXPECT_LE(std::abs(ink.right() - expected.right()), 1 + int(GetParam())) << where.toStdString();
            EXPECT_LE(std::abs(ink.top() - expected.top()), 1) << where.toStdString();
            EXPECT_LE(std::abs(ink.bottom() - expected.bottom()), 1) << where.toStdString();
            EXPECT_LE(ink.right(), (at.x() + width + 1) * GetParam()) << where.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(DevicePixelRatios, TextImageCacheDrawing, ::testing::Values(1.0, 2.0));
