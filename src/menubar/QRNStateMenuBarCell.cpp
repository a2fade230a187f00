#include "menubar/QRNStateMenuBarCell.h"

#include "menubar/MenuBarDrawing.h"

namespace {

constexpr QStringView DetailLetters = u"BT";

enum State { Idle = 0, FirstKind = 1, SecondKind = 2, Sleeping = 3, Unavailable = 4 };

// The parts of a lamp, in design coordinates, for a frame of width w.
struct Lamp {
    explicit Lamp(const QRectF& frame)
        : x(frame.x())
        , y(frame.y())
        , w(frame.width())
        , centreX(x + 0.5 * w)
        , centreY(y + 0.5 * w)
        , lineWidth(frame.height() / 10)
    {
    }
    QRectF square(double inset) const { return QRectF(x + inset * w, y + inset * w, (1 - 2 * inset) * w, (1 - 2 * inset) * w); }
    QRectF circle() const { return square(0.2); }
    QRectF hub() const { return square(0.25); }
    QRectF dot() const { return square(0.4); }

    double x, y, w, centreX, centreY, lineWidth;
};

// Half circles: the lower one for activity of the first kind, the upper one for the second.
void directionAngles(int state, double& start, double& end)
{
    start = state == FirstKind ? 180 : 0;
    end = state == FirstKind ? 360 : 180;
}

} // namespace

QRNStateMenuBarCell::QRNStateMenuBarCell() = default;

std::unique_ptr<QRNStateMenuBarCell> QRNStateMenuBarCell::initWithDetailStringCode(const QString& detail)
{
    const int style = styleForDetail(detail, DetailLetters);
    if (style < 0)
        return nullptr;
    auto cell = std::make_unique<QRNStateMenuBarCell>();
    cell->setDisplayStyle(style);
    return cell;
}

QString QRNStateMenuBarCell::stringCode() const
{
    return codeWithStyleLetter(DetailLetters, m_displayStyle);
}

void QRNStateMenuBarCell::drawWithFrame(MenuBarDrawing& drawing, const QRectF& frame)
{
    const Lamp lamp(frame);
    const QColor foreground = foregroundColor(drawing);
    if (m_activityState == Sleeping) {
        // A power symbol: a circle open at the top and a stroke down into it.
        QPainterPath symbol;
        drawing.addArc(symbol, lamp.centreX, lamp.centreY, 0.3 * lamp.w, 70, 110, true);
        symbol.moveTo(drawing.point(lamp.centreX, lamp.centreY));
        symbol.lineTo(drawing.point(lamp.centreX, lamp.centreY + 0.4 * lamp.w));
        drawing.strokePath(symbol, foreground, lamp.lineWidth);
        return;
    }
    if (m_activityState == Unavailable) {
        const QRectF circle = lamp.circle();
        drawing.strokeEllipse(circle, foreground, lamp.lineWidth);
        drawing.strokeLine(circle.left(), circle.top(), circle.right(), circle.bottom(), foreground, lamp.lineWidth);
        drawing.strokeLine(circle.right(), circle.top(), circle.left(), circle.bottom(), foreground, lamp.lineWidth);
    }
    if (m_displayStyle == Coloured)
        drawColoured(drawing, frame);
    else
        drawMonochrome(drawing, frame);
}

void QRNStateMenuBarCell::drawMonochrome(MenuBarDrawing& drawing, const QRectF& frame)
{
    const Lamp lamp(frame);
    const QColor foreground = foregroundColor(drawing);
    if (m_usesUpDownStyle) {
        double start = 0, end = 360;
        if (m_activityState == FirstKind || m_activityState == SecondKind)
            directionAngles(m_activityState, start, end);
        QPainterPath arc;
        drawing.addArc(arc, lamp.centreX, lamp.centreY, 0.3 * lamp.w, start, end, false);
        drawing.strokePath(arc, foreground, lamp.lineWidth);
        return;
    }
    drawing.strokeEllipse(lamp.circle(), foreground, lamp.lineWidth);
    if (m_activityState == FirstKind)
        drawing.fillEllipse(lamp.dot(), foreground);
    else if (m_activityState == SecondKind)
        drawing.fillEllipse(lamp.circle(), foreground);
}

void QRNStateMenuBarCell::drawColoured(MenuBarDrawing& drawing, const QRectF& frame)
{
    const Lamp lamp(frame);
    // Unavailable has no colour of its own and keeps the foreground colour.
    QColor color = foregroundColor(drawing);
    if (m_activityState == Idle)
        color = drawing.color(MenuBarColor::System::Label);
    else if (m_activityState == FirstKind)
        color = drawing.color(MenuBarColor::System::Green);
    else if (m_activityState == SecondKind)
        color = drawing.color(MenuBarColor::System::Red);
    const QColor lighter = MenuBarColor::highlighted(color, 0.1);

    if (!m_usesUpDownStyle) {
        drawing.strokeEllipse(lamp.circle(), color, lamp.lineWidth);
        drawing.fillEllipse(lamp.hub(), lighter);
        return;
    }
    const QColor label = drawing.color(MenuBarColor::System::Label);
    drawing.strokeEllipse(lamp.circle(), label, lamp.lineWidth);
    drawing.fillEllipse(lamp.hub(), MenuBarColor::highlighted(label, 0.1));
    if (m_activityState != FirstKind && m_activityState != SecondKind)
        return;
    double start = 0, end = 0;
    directionAngles(m_activityState, start, end);
    QPainterPath ring;
    drawing.addArc(ring, lamp.centreX, lamp.centreY, 0.3 * lamp.w, start, end, false);
    drawing.strokePath(ring, color, lamp.lineWidth);
    QPainterPath halfDisc;
    drawing.addArc(halfDisc, lamp.centreX, lamp.centreY, 0.25 * lamp.w, start, end, false);
    halfDisc.closeSubpath();
    drawing.fillPath(halfDisc, lighter);
}
