#pragma once

#include "items/QRNMonitorItem.h"
#include "platform/statusbar/MenuText.h"
#include "platform/statusbar/StatusItem.h"

#include <QMenu>

// The item's menu as text, read while it is open, as the user would see it
// after the item filled in its current values.
inline QString openedMenu(QRNMonitorItem& item)
{
    QMenu& menu = *item.statusItem()->menu();
    Q_EMIT menu.aboutToShow();
    const QString text = MenuText::of(menu);
    Q_EMIT menu.aboutToHide();
    return text;
}
