#pragma once

#include "items/QRNMonitorItem.h"

#include <QImage>

// The small status item carrying the application's commands (About,
// Preferences, Help, Quit), since Vistrel has no main window or menu of its
// own while it lives in the bar. It has no cells and samples nothing.
class QRNMainMenuMonitorItem : public QRNMonitorItem {
    Q_OBJECT
public:
    QRNMainMenuMonitorItem();

    QString className() const override { return QStringLiteral("QRNMainMenuMonitorItem"); }

    // The application's symbol — a heartbeat trace — inside a thin circle,
    // drawn in the text colour of the palette.
    static QImage drawPieChartCircle(QSizeF size, qreal devicePixelRatio, const QPalette& palette);

Q_SIGNALS:
    void aboutRequested();
    void updateCheckRequested();
    void helpRequested();
    void quitRequested();

protected:
    void createMenuItemsInMenu(StatusMenu& menu) override;
};
