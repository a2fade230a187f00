#include "configuration/SwitchNoticeSketches.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr double BarHeight = 8;
constexpr double TaskBarHeight = 8;

// The screen outline and the bar along its top, with three item cells at its right.
void drawScreenWithBar(QPainter& painter, const QPalette& palette, bool itemsLit)
{
    const QRectF screen(1.5, 1.5, SwitchNoticeSketches::Width - 3, SwitchNoticeSketches::Height - 3);
    painter.setPen(QPen(palette.color(QPalette::WindowText), 1.5));
    painter.setBrush(palette.color(QPalette::Base));
    painter.drawRoundedRect(screen, 4, 4);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette.color(QPalette::Mid));
    painter.drawRect(QRectF(screen.left(), screen.top(), screen.width(), BarHeight));
    painter.setBrush(itemsLit ? palette.color(QPalette::Highlight) : palette.color(QPalette::WindowText));
    for (int i = 0; i < 3; ++i)
        painter.drawRect(QRectF(screen.right() - 12 - i * 11, screen.top() + 2, 8, BarHeight - 4));
}

void drawWindowAndTaskBar(QPainter& painter, const QPalette& palette)
{
    const QRectF window(20, 16, 56, 34);
    painter.setPen(QPen(palette.color(QPalette::WindowText), 1));
    painter.setBrush(palette.color(QPalette::Window));
    painter.drawRect(window);
    painter.setBrush(palette.color(QPalette::Highlight));
    painter.drawRect(QRectF(window.left(), window.top(), window.width(), 5));
    painter.setBrush(palette.color(QPalette::Midlight));
    painter.drawRect(QRectF(window.left(), window.top() + 5, 16, window.height() - 5));

    const QRectF taskBar(1.5, SwitchNoticeSketches::Height - 1.5 - TaskBarHeight, SwitchNoticeSketches::Width - 3, TaskBarHeight);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette.color(QPalette::Mid));
    painter.drawRect(taskBar);
    painter.setBrush(palette.color(QPalette::Highlight));
    painter.drawRect(QRectF(taskBar.left() + 30, taskBar.top() + 2, 16, TaskBarHeight - 4));
}

} // namespace

QPixmap SwitchNoticeSketches::image(const QString& name, const QPalette& palette, qreal devicePixelRatio)
{
    const bool fullGUI = name == QLatin1String("SwitchFullGUI");
    if (!fullGUI && name != QLatin1String("SwitchMenuBar"))
        return {};
    QPixmap pixmap(QSize(Width, Height) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    drawScreenWithBar(painter, palette, !fullGUI);
    if (fullGUI)
        drawWindowAndTaskBar(painter, palette);
    return pixmap;
}
