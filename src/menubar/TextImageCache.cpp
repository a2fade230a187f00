#include "menubar/TextImageCache.h"

#include "menubar/DevicePixels.h"

#include <QFontMetricsF>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr qsizetype MaximumBlocks = 512;
// Bytes of rasterized text kept: some hundred texts of a menu-bar cell.
constexpr qsizetype MaximumImageBytes = 512 * 1024;
// Room around the text for ink beyond its box (overhangs, accents), in points.
constexpr double Margin = 3.0;
// Sub-pixel positions told apart: a quarter pixel across, as glyph caches
// place glyphs, so that a number's digits find their renderings again after a
// few values; 1/64 of a pixel down, as fonts count, since a cell's baseline
// does not move.
constexpr double HorizontalSteps = 4.0;
constexpr double VerticalSteps = 64.0;
// The characters numbers are set from, each at its own advance.
constexpr char16_t NumberCharacters[] = u"0123456789.,%-+ ";

bool needsLayout(const QString& text)
{
    return text.contains(u'\t') || text.contains(u'\n');
}

// A figure with its signs, as texts of values are made: set from single characters.
bool isNumber(const QString& text)
{
    if (text.size() < 2)
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return std::char_traits<char16_t>::find(NumberCharacters, std::size(NumberCharacters) - 1, c.unicode());
    });
}


QString withLineSeparators(QString text)
{
    return text.replace(u'\n', QChar::LineSeparator);
}

// Lays out every line of the text without wrapping; returns the size of the block.
QSizeF layOut(QTextLayout& layout, const QTextOption& option)
{
    QTextOption unwrapped = option;
    unwrapped.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(unwrapped);
    layout.beginLayout();
    double width = 0;
    double height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(1.0e6);
        line.setPosition(QPointF(0, height));
        height += line.height();
        width = std::max(width, line.naturalTextWidth());
    }
    layout.endLayout();
    return {width, height};
}

template <typename Value>
void append(QByteArray& key, const Value& value)
{
    key.append(reinterpret_cast<const char*>(&value), sizeof(value));
}

void append(QByteArray& key, const QString& text)
{
    key.append(reinterpret_cast<const char*>(text.constData()), text.size() * qsizetype(sizeof(QChar)));
    key.append('\0');
}

} // namespace

TextImageCache& TextImageCache::shared()
{
    static TextImageCache cache;
    return cache;
}

TextImageCache::TextImageCache()
    : m_blocks(MaximumBlocks)
    , m_images(MaximumImageBytes)
{
}

const QPaintDevice& TextImageCache::referenceDevice()
{
    static const QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
    return device;
}

const QByteArray& TextImageCache::fontSignature(const QFont& font)
{
    // QFont::key() says the same through a long formatted text on every call.
    if (!m_fontSignature.isEmpty() && font == m_signedFont)
        return m_fontSignature;
    m_signedFont = font;
    // Truncated rather than cleared, so that its storage is kept.
    m_fontSignature.truncate(0);
    append(m_fontSignature, font.family());
    append(m_fontSignature, font.pointSizeF());
    append(m_fontSignature, font.pixelSize());
    append(m_fontSignature, font.weight());
    append(m_fontSignature, font.style());
    append(m_fontSignature, font.stretch());
    append(m_fontSignature, font.letterSpacing());
    append(m_fontSignature, font.wordSpacing());
    append(m_fontSignature, font.capitalization());
    append(m_fontSignature, font.hintingPreference());
    append(m_fontSignature, font.styleStrategy());
    append(m_fontSignature, char(font.strikeOut() | font.underline() << 1 | font.overline() << 2 | font.kerning() << 3));
    return m_fontSignature;
}

double TextImageCache::characterAdvance(QChar character, const QFont& font)
{
    const char16_t* end = NumberCharacters + std::size(NumberCharacters) - 1;
    const size_t index = size_t(std::find(NumberCharacters, end, character.unicode()) - NumberCharacters);
    auto advances = m_numberAdvances.find(fontSignature(font));
    if (advances == m_numberAdvances.end()) {
        std::array<double, 16> unmeasured;
        unmeasured.fill(-1.0);
        advances = m_numberAdvances.insert(m_fontSignature, unmeasured);
    }
    double& advance = (*advances)[index];
    if (advance < 0)
        advance = TabbedLine::fixed(blockSize(QString(character), font).width());
    return advance;
}

const QByteArray& TextImageCache::layoutKey(const QString& text, const QFont& font, const QTextOption& option)
{
    const QByteArray& signature = fontSignature(font);
    QByteArray& key = m_key;
    key.truncate(0);
    key.reserve(text.size() * qsizetype(sizeof(QChar)) + signature.size() + 64);
    append(key, text);
    key.append(signature);
    if (needsLayout(text)) {
        for (const QTextOption::Tab& tab : option.tabs()) {
            append(key, tab.position);
            append(key, tab.type);
        }
        append(key, option.tabStopDistance());
        append(key, int(option.alignment()));
        append(key, int(option.textDirection()));
    }
    return key;
}

TextImageCache::Block TextImageCache::measure(const QString& text, const QFont& font, const QTextOption& option)
{
    const QFontMetricsF metrics(font, &referenceDevice());
    Block measured;
    if (isNumber(text)) {
        // Set digit by digit, as drawLine() draws it.
        double width = 0;
        for (QChar character : text)
            width += characterAdvance(character, font);
        measured.size = {width, metrics.height()};
        return measured;
    }
    if (!needsLayout(text)) {
        measured.size = {metrics.horizontalAdvance(text), metrics.height()};
        return measured;
    }
    const auto width = [&](const QString& field) { return blockSize(field, font).width(); };
    double widest = 0;
    for (const QString& line : text.split(u'\n')) {
        std::optional<TabbedLine> fields = TabbedLine::layOut(line, option, width);
        if (!fields) {
            QTextLayout layout(withLineSeparators(text), font, &referenceDevice());
            return {layOut(layout, option), {}, true};
        }
        widest = std::max(widest, fields->width());
        measured.lines.push_back(std::move(*fields));
    }
    // Lines stand apart by a text layout's line height, which rounds where the font's does not.
    QTextLayout oneLine(QStringLiteral("0"), font, &referenceDevice());
    measured.size = {widest, double(measured.lines.size()) * layOut(oneLine, option).height()};
    return measured;
}

std::shared_ptr<const TextImageCache::Block> TextImageCache::block(const QString& text, const QFont& font,
    const QTextOption& option)
{
    // A copy shares the key's bytes; measuring writes the kept buffer anew.
    const QByteArray key = layoutKey(text, font, option);
    if (const std::shared_ptr<const Block>* known = m_blocks.object(key))
        return *known;
    auto measured = std::make_shared<const Block>(measure(text, font, option));
    m_blocks.insert(key, new std::shared_ptr<const Block>(measured));
    return measured;
}

QSizeF TextImageCache::blockSize(const QString& text, const QFont& font, const QTextOption& option)
{
    return block(text, font, option)->size;
}

void TextImageCache::draw(QPainter& painter, const QPointF& bottomLeft, const QString& text, const QFont& font,
    const QColor& color, const QTextOption& option)
{
    if (text.isEmpty())
        return;
    if (!needsLayout(text)) {
        drawLine(painter, bottomLeft, text, font, color);
        return;
    }
    const std::shared_ptr<const Block> laidOut = block(text, font, option);
    if (laidOut->lines.empty()) {
        drawRendering(painter, bottomLeft, text, font, color, option);
        return;
    }
    const std::vector<TabbedLine>& lines = laidOut->lines;
    // Each line's baseline lies an ascent below the top of its line box, as
    // in a text layout; a field's rendering stands a font height above its bottom.
    const double lineHeight = laidOut->size.height() / double(lines.size());
    const double fontHeight = QFontMetricsF(font, &referenceDevice()).height();
    for (size_t i = 0; i < lines.size(); ++i) {
        const double bottom = bottomLeft.y() - double(lines.size() - i) * lineHeight + fontHeight;
        for (const TabbedLine::Field& field : lines[i].fields())
            drawLine(painter, QPointF(bottomLeft.x() + field.x, bottom), field.text, font, color);
    }
}

void TextImageCache::drawLine(QPainter& painter, const QPointF& bottomLeft, const QString& text, const QFont& font,
    const QColor& color)
{
    if (!isNumber(text)) {
        drawRendering(painter, bottomLeft, text, font, color, QTextOption());
        return;
    }
    double x = bottomLeft.x();
    for (const QChar& character : text) {
        const QString digit = QString::fromRawData(&character, 1);
        if (character != u' ')
            drawRendering(painter, QPointF(x, bottomLeft.y()), digit, font, color, QTextOption());
        x += characterAdvance(character, font);
    }
}

void TextImageCache::paint(QPainter& painter, const QString& text, const QFont& font, const QColor& color,
    const QTextOption& option, bool textLayout)
{
    painter.setPen(color);
    if (!textLayout) {
        painter.setFont(font);
        painter.drawText(QPointF(0, QFontMetricsF(font, &referenceDevice()).ascent()), text);
        return;
    }
    QTextLayout layout(withLineSeparators(text), font, &referenceDevice());
    layOut(layout, option);
    layout.draw(&painter, QPointF(0, 0));
}

void TextImageCache::drawRendering(QPainter& painter, const QPointF& bottomLeft, const QString& text, const QFont& font,
    const QColor& color, const QTextOption& option)
{
    // Texts are rasterized at the device pixels per point, the device's pixel
    // ratio times the painter's scale (the square forms of cells draw scaled);
    // a painter that rotates, shears or stretches one way only draws them itself.
    const QTransform device = DevicePixels::transform(painter);
    const qreal scale = device.m11();
    if (device.type() > QTransform::TxScale || scale != device.m22() || scale <= 0) {
        const std::shared_ptr<const Block> laidOut = block(text, font, option);
        painter.save();
        painter.translate(bottomLeft - QPointF(0, laidOut->size.height()));
        paint(painter, text, font, color, option, laidOut->needsTextLayout);
        painter.restore();
        return;
    }
    const qreal ratio = painter.device()->devicePixelRatio();
    const QPointF corner = device.map(bottomLeft);
    const QPoint pixel(int(std::floor(corner.x())), int(std::floor(corner.y())));
    const QPointF within(std::round((corner.x() - pixel.x()) * HorizontalSteps) / HorizontalSteps,
        std::round((corner.y() - pixel.y()) * VerticalSteps) / VerticalSteps);

    QByteArray& key = m_key;
    layoutKey(text, font, option);
    append(key, color.rgba64());
    append(key, scale);
    append(key, within);
    if (Rendering* rendering = m_images.object(key)) {
        DevicePixels::copy(painter, pixel + rendering->offset, rendering->image);
        return;
    }
    // Only a text not rasterized yet is looked up for its size; that writes
    // the kept key anew, so the image's key is kept apart first.
    const QByteArray imageKey = key;
    const std::shared_ptr<const Block> laidOut = block(text, font, option);
    const bool textLayout = laidOut->needsTextLayout;
    const QSizeF size = laidOut->size;
    // The text's top left in the image lies a margin in from the image's top
    // left pixel, at the same position within its pixel as on the target.
    const int margin = int(std::ceil(Margin * scale));
    const QSizeF pixels = size * scale;
    const QPointF topLeft = QPointF(pixel) + within - QPointF(0, pixels.height());
    const QPoint topPixel(pixel.x(), int(std::floor(topLeft.y())));
    const QPointF topWithin(within.x(), topLeft.y() - topPixel.y());
    auto rendering = std::make_unique<Rendering>();
    rendering->offset = topPixel - pixel - QPoint(margin, margin);
    QImage& image = rendering->image;
    image = QImage(int(std::ceil(pixels.width() + topWithin.x())) + 2 * margin + 1,
        int(std::ceil(pixels.height() + topWithin.y())) + 2 * margin + 1, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter textPainter(&image);
    textPainter.setRenderHints(painter.renderHints());
    textPainter.translate((QPointF(margin, margin) + topWithin) / ratio);
    textPainter.scale(scale / ratio, scale / ratio);
    paint(textPainter, text, font, color, option, textLayout);
    textPainter.end();
    // The margins and the room above and below the glyphs stay clear; copies
    // of the cropped image blend only the pixels a glyph touches.
    const QRect inked = PremultipliedPixels::inkedBounds(image);
    rendering->offset += inked.topLeft();
    image = inked.isEmpty() ? QImage() : image.copy(inked);
    DevicePixels::copy(painter, pixel + rendering->offset, image);
    // A text larger than the whole cache is drawn, not kept.
    const qsizetype bytes = image.sizeInBytes();
    if (bytes <= m_images.maxCost())
        m_images.insert(imageKey, rendering.release(), bytes);
}
