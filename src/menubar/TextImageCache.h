#pragma once

#include "menubar/TabbedLine.h"

#include <QCache>
#include <QColor>
#include <QHash>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QSizeF>
#include <QString>
#include <QTextOption>

#include <array>
#include <memory>
#include <vector>

// The texts of status-item images repeat (a percentage takes a hundred
// values, a label or a unit never changes), and shaping and rasterizing them
// is most of what drawing an image costs. Each text is measured once per font
// and options, and rasterized once per colour and sub-pixel position; after
// that it is only copied. Texts are laid out without wrapping: a line feed
// starts a new line, and the fields between tabs are placed by the option's
// stops and cached one by one, so a new number next to a label and a unit
// rasterizes the number alone; and numbers are set character by character
// from cached digits (their advances added up, as for the tabular figures of
// menu-bar fonts), so that a value never seen before costs no rasterizing.
class TextImageCache {
public:
    static TextImageCache& shared();

    // Texts are measured against an image like the ones they are drawn into.
    static const QPaintDevice& referenceDevice();

    // Width and height of the text's block of lines, in points.
    QSizeF blockSize(const QString& text, const QFont& font, const QTextOption& option = QTextOption());
    // Draws the block with its bottom left corner at the point (painter coordinates).
    void draw(QPainter& painter, const QPointF& bottomLeft, const QString& text, const QFont& font, const QColor& color,
        const QTextOption& option = QTextOption());

private:
    // How a text is laid out: one plain line, lines of fields, or, for what
    // the fields cannot express, a text layout of the whole block.
    struct Block {
        QSizeF size;
        std::vector<TabbedLine> lines;
        bool needsTextLayout = false;
    };
    // A rasterized text and where its top left pixel lies from the pixel
    // that holds the text's bottom left corner.
    struct Rendering {
        QImage image;
        QPoint offset;
    };

    TextImageCache();

    // Shared, so that a caller keeps its block while measuring pushes it out of the cache.
    std::shared_ptr<const Block> block(const QString& text, const QFont& font, const QTextOption& option);
    Block measure(const QString& text, const QFont& font, const QTextOption& option);
    // One line without tabs: a number digit by digit, anything else whole.
    void drawLine(QPainter& painter, const QPointF& bottomLeft, const QString& text, const QFont& font,
        const QColor& color);
    // One plain line, or a whole block through a text layout, from the cache.
    void drawRendering(QPainter& painter, const QPointF& bottomLeft, const QString& text, const QFont& font,
        const QColor& color, const QTextOption& option);
    // The text drawn into a painter whose origin is the block's top left corner.
    static void paint(QPainter& painter, const QString& text, const QFont& font, const QColor& color,
        const QTextOption& option, bool textLayout);
    // The advance of one of the characters numbers are set from.
    double characterAdvance(QChar character, const QFont& font);
    // The key of the text's layout, written into the kept key buffer so that a
    // lookup of a known text allocates nothing. Measuring writes keys too:
    // the buffer holds this key only until the next measurement.
    const QByteArray& layoutKey(const QString& text, const QFont& font, const QTextOption& option);
    // What decides a font's glyphs, as bytes; remembered for the last font asked about.
    const QByteArray& fontSignature(const QFont& font);

    QFont m_signedFont;
    QByteArray m_fontSignature;
    // Advances of the characters of numbers, by font signature; negative until measured.
    QHash<QByteArray, std::array<double, 16>> m_numberAdvances;
    QCache<QByteArray, std::shared_ptr<const Block>> m_blocks;
    QByteArray m_key;
    // Rasterized texts with room around them, by layout, colour, pixel ratio
    // and the position of the text's corner within its pixel.
    QCache<QByteArray, Rendering> m_images;
};
