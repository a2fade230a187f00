#pragma once

#include "menubar/MenuBarColor.h"

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>

class MenuBarDrawing;

// One small drawable element of a status item's image: a history graph, a
// percentage, a lamp, a text... A cell is made from its cell code, "class
// name:detail", where the detail picks the drawing style; stringCode() writes
// that code back. Cells hold no reference to what they show: their owner
// pushes values into them and then has the item image redraw.
class QRNMenuBarCell {
public:
    static constexpr char ClassName[] = "QRNMenuBarCell";

    QRNMenuBarCell();
    QRNMenuBarCell(const QRNMenuBarCell&) = default;
    QRNMenuBarCell& operator=(const QRNMenuBarCell&) = default;
    virtual ~QRNMenuBarCell();

    // A new cell for a code such as "QRNGraphMenuBarCell:2O", or null; every
    // unreadable code is reported, an empty one silently yields null.
    static std::unique_ptr<QRNMenuBarCell> newMenuBarCellForStringCode(const QString& code);
    // The base cell accepts any detail.
    static std::unique_ptr<QRNMenuBarCell> initWithDetailStringCode(const QString& detail);

    // An independent cell of the same class and style, with the same values.
    virtual std::unique_ptr<QRNMenuBarCell> copy() const;
    virtual QString className() const;

    // Draws the cell into the frame (design coordinates). The base draws a
    // crossed-out placeholder.
    virtual void drawWithFrame(MenuBarDrawing& drawing, const QRectF& frame);
    // The class name alone for the base; "class:detail" for every concrete cell.
    virtual QString stringCode() const;
    // The cell alone, width × height points, as a dragged cell shows it.
    QImage cellImage(qreal devicePixelRatio, const QPalette& palette);
    // The cell in a square of side × side pixels, for hosts that show only
    // squares: what it shows kept legible rather than its layout. The base
    // shrinks the cell to fit; null for a cell that shows nothing.
    virtual QImage compactImage(int side, const QPalette& palette);

    virtual double width() const { return m_width; }
    void setWidth(double width) { m_width = width; }
    double height() const { return m_height; }
    void setHeight(double height) { m_height = height; }
    double offset() const { return m_offset; }
    void setOffset(double offset) { m_offset = offset; }
    bool isHighlighted() const { return m_isHighlighted; }
    void setIsHighlighted(bool highlighted) { m_isHighlighted = highlighted; }

protected:
    // The text colour, or the selected-menu-item text colour while highlighted.
    MenuBarColor foreground() const;
    QColor foregroundColor(const MenuBarDrawing& drawing) const;
    QString codeWithDetail(const QString& detail) const;
    // Styles named by one letter each: the position of the detail among the
    // letters (-1 for anything else), and the code for a style.
    static int styleForDetail(const QString& detail, QStringView letters);
    QString codeWithStyleLetter(QStringView letters, int style) const;
    // Both diagonals of the frame, one point inside its right and top edges.
    static void strokeDiagonals(MenuBarDrawing& drawing, const QRectF& frame, const QColor& color);
    // Class-wide width factors are taken only within [0.5, 2].
    static bool isAcceptableScalingFactor(double factor);
    // A square of side pixels showing a square of the points (the bar's
    // thickness by default); draw() gets that square as its frame. Scaled by
    // the painter: images do not draw smaller than one pixel per point.
    static QImage renderSquare(int side, const QPalette& palette,
        const std::function<void(MenuBarDrawing&, const QRectF&)>& draw, double points = 0);

private:
    double m_width;
    double m_height;
    double m_offset = 0;
    bool m_isHighlighted = false;
};
