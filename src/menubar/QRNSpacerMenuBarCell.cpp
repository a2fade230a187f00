#include "menubar/QRNSpacerMenuBarCell.h"

#include "menubar/MenuBarDrawing.h"

QRNSpacerMenuBarCell::QRNSpacerMenuBarCell()
{
    setWidth(MenuBarDrawing::textWidth(QStringLiteral("M"), MenuBarDrawing::menuBarFont()));
}

std::unique_ptr<QRNSpacerMenuBarCell> QRNSpacerMenuBarCell::initWithDetailStringCode(const QString&)
{
    return std::make_unique<QRNSpacerMenuBarCell>();
}

QString QRNSpacerMenuBarCell::stringCode() const
{
    return codeWithDetail(QStringLiteral("N"));
}

void QRNSpacerMenuBarCell::drawWithFrame(MenuBarDrawing& drawing, const QRectF& frame)
{
    if (!m_isShowingLayoutFrame)
        return;
    drawing.strokeRect(frame.adjusted(2, 2, -2, -2), drawing.color(MenuBarColor::System::Text), 1, {1, 1});
}
