#include "menubar/QRNMenuBarCell.h"

#include "menubar/MenuBarCellClasses.h"
#include "menubar/MenuBarDrawing.h"
#include "platform/log/Log.h"
#include "platform/statusbar/StatusBar.h"

#include <QPainter>
#include <QStringList>

#include <algorithm>

QRNMenuBarCell::QRNMenuBarCell()
    : m_width(StatusBar::Thickness)
    , m_height(StatusBar::Thickness)
{
}

QRNMenuBarCell::~QRNMenuBarCell() = default;

std::unique_ptr<QRNMenuBarCell> QRNMenuBarCell::newMenuBarCellForStringCode(const QString& code)
{
    if (code.isEmpty())
        return nullptr;
    const QString reporter = QString::fromLatin1(ClassName);
    const QStringList parts = code.split(u':');
    if (parts.size() != 2) {
        Log::error("%{public}@: found invalid code '%{public}@' to create menu-bar cell.", {reporter, code});
        return nullptr;
    }
    const MenuBarCellClasses::Initializer initialize = MenuBarCellClasses::initializerForClassNamed(parts[0]);
    if (!initialize) {
        Log::error("%{public}@: application does not implement menu-bar cells of class '%{public}@'.",
            {reporter, parts[0]});
        return nullptr;
    }
    std::unique_ptr<QRNMenuBarCell> cell = initialize(parts[1]);
    if (!cell) {
        Log::error("%{public}@: invalid detail parameters '%{public}@' to create menu-bar cell of class '%{public}@'.",
            {reporter, parts[1], parts[0]});
    }
    return cell;
}

std::unique_ptr<QRNMenuBarCell> QRNMenuBarCell::initWithDetailStringCode(const QString&)
{
    return std::make_unique<QRNMenuBarCell>();
}

std::unique_ptr<QRNMenuBarCell> QRNMenuBarCell::copy() const
{
    return std::make_unique<QRNMenuBarCell>(*this);
}

QString QRNMenuBarCell::className() const
{
    return QString::fromLatin1(ClassName);
}

void QRNMenuBarCell::drawWithFrame(MenuBarDrawing& drawing, const QRectF& frame)
{
    const QColor color = foregroundColor(drawing);
    drawing.frameRect(frame, color);
    strokeDiagonals(drawing, frame, color);
}

void QRNMenuBarCell::strokeDiagonals(MenuBarDrawing& drawing, const QRectF& frame, const QColor& color)
{
    const double left = frame.x(), bottom = frame.y();
    const double right = left + frame.width() - 1, top = bottom + frame.height() - 1;
    drawing.strokeLine(left, bottom, right, top, color, 1);
    drawing.strokeLine(left, top, right, bottom, color, 1);
}

QString QRNMenuBarCell::stringCode() const
{
    return className();
}

QImage QRNMenuBarCell::cellImage(qreal devicePixelRatio, const QPalette& palette)
{
    const QSizeF size(width(), height());
    return MenuBarDrawing::renderImage(size, devicePixelRatio, palette,
        [&](MenuBarDrawing& drawing) { drawWithFrame(drawing, QRectF(QPointF(0, 0), size)); });
}

QImage QRNMenuBarCell::compactImage(int side, const QPalette& palette)
{
    const double points = std::max(width(), height());
    return renderSquare(side, palette, [this](MenuBarDrawing& drawing, const QRectF& square) {
        drawWithFrame(drawing, QRectF(square.center() - QPointF(width(), height()) / 2, QSizeF(width(), height())));
    }, points);
}

QImage QRNMenuBarCell::renderSquare(int side, const QPalette& palette,
    const std::function<void(MenuBarDrawing&, const QRectF&)>& draw, double points)
{
    if (points <= 0)
        points = StatusBar::Thickness;
    QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(side / points, side / points);
    MenuBarDrawing drawing(painter, points, palette);
    draw(drawing, QRectF(0, 0, points, points));
    return square;
}

MenuBarColor QRNMenuBarCell::foreground() const
{
    return m_isHighlighted ? MenuBarColor::System::SelectedMenuItemText : MenuBarColor::System::Text;
}

QColor QRNMenuBarCell::foregroundColor(const MenuBarDrawing& drawing) const
{
    return drawing.color(foreground());
}

QString QRNMenuBarCell::codeWithDetail(const QString& detail) const
{
    return className() + u':' + detail;
}

int QRNMenuBarCell::styleForDetail(const QString& detail, QStringView letters)
{
    return detail.size() == 1 ? int(letters.indexOf(detail[0])) : -1;
}

QString QRNMenuBarCell::codeWithStyleLetter(QStringView letters, int style) const
{
    return codeWithDetail(letters.mid(style, 1).toString());
}

bool QRNMenuBarCell::isAcceptableScalingFactor(double factor)
{
    return factor >= 0.5 && factor <= 2.0;
}
