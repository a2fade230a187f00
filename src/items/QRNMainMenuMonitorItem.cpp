#include "items/QRNMainMenuMonitorItem.h"

#include "platform/statusbar/StatusBar.h"
#include "platform/statusbar/StatusMenu.h"
#include "support/ApplicationName.h"

#include <QPainter>
#include <QPainterPath>

QRNMainMenuMonitorItem::QRNMainMenuMonitorItem()
{
    StatusBar& bar = StatusBar::systemStatusBar();
    adoptStatusItem(bar.statusItemWithLength(StatusItem::SquareLength));
    statusItem()->setImage(drawPieChartCircle(QSizeF(bar.thickness(), bar.thickness()), bar.devicePixelRatio(), bar.palette()));
    statusItem()->setAutosaveName(className());
    statusItem()->setToolTip(localizedApplicationName());
    buildMenu();
}

QImage QRNMainMenuMonitorItem::drawPieChartCircle(QSizeF size, qreal devicePixelRatio, const QPalette& palette)
{
    QImage image((size * devicePixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor text = palette.color(QPalette::Active, QPalette::WindowText);
    const qreal w = size.width();
    const qreal h = size.height();

    // The circle: a square of 0.8 w starting at 0.1 w from the bottom left.
    QPen pen(text, h / 15);
    painter.setPen(pen);
    painter.drawEllipse(QRectF(0.1 * w, h - 0.1 * w - 0.8 * w, 0.8 * w, 0.8 * w));

    // The heartbeat trace across the middle, standing in for the symbol.
    QPainterPath trace;
    const qreal mid = h / 2;
    trace.moveTo(0.22 * w, mid);
    trace.lineTo(0.38 * w, mid);
    trace.lineTo(0.45 * w, mid - 0.25 * h);
    trace.lineTo(0.55 * w, mid + 0.25 * h);
    trace.lineTo(0.62 * w, mid);
    trace.lineTo(0.78 * w, mid);
    pen.setWidthF(h / 13);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.drawPath(trace);
    return image;
}

void QRNMainMenuMonitorItem::createMenuItemsInMenu(StatusMenu& menu)
{
    const QString name = localizedApplicationName();
    QAction* about = menu.addAction(tr("About %1").arg(name));
    QAction* update = menu.addAction(tr("Check for Updates..."));
    menu.addSeparator();
    QAction* preferences = menu.addAction(tr("Preferences..."));
    QAction* help = menu.addAction(tr("%1 Help").arg(name));
    menu.addSeparator();
    QAction* quit = menu.addAction(tr("Quit %1").arg(name));
    connect(preferences, &QAction::triggered, this, &QRNMonitorItem::openUserInterfaceForPreferenceSettings);
    connect(about, &QAction::triggered, this, &QRNMainMenuMonitorItem::aboutRequested);
    connect(update, &QAction::triggered, this, &QRNMainMenuMonitorItem::updateCheckRequested);
    connect(help, &QAction::triggered, this, &QRNMainMenuMonitorItem::helpRequested);
    connect(quit, &QAction::triggered, this, &QRNMainMenuMonitorItem::quitRequested);
}
