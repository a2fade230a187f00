#pragma once

#include "items/QRNMonitorItem.h"
#include "menubar/QRNTextPairView.h"
#include "platform/statusbar/StatusItem.h"

#include <QMenu>
#include <QWidgetAction>

inline bool isStruckThrough(const TextCell& cell)
{
    const auto& attributed = cell.attributedStringValue();
    return attributed && attributed->strikethroughStyle == AttributedString::UnderlineStyle::Single;
}

// The five rows under the heading of the busiest processes, read while the
// menu is open, as "name<TAB>value" with " [struck]" after rows drawn struck
// through; empty without the heading.
inline QStringList processRowsInMenu(QRNMonitorItem& item)
{
    QMenu& menu = *item.statusItem()->menu();
    Q_EMIT menu.aboutToShow();
    QStringList rows;
    int remaining = 0;
    for (QAction* action : menu.actions()) {
        auto* row = qobject_cast<QWidgetAction*>(action);
        auto* view = row ? qobject_cast<QRNTextPairView*>(row->defaultWidget()) : nullptr;
        if (!view)
            continue;
        if (view->leftTextCell().stringValue() == QLatin1String("Top 5 Processes")) {
            remaining = 5;
        } else if (remaining > 0) {
            --remaining;
            const bool struck = isStruckThrough(view->leftTextCell()) && isStruckThrough(view->rightTextCell());
            rows << view->leftTextCell().stringValue() + u'\t' + view->rightTextCell().stringValue()
                    + (struck ? QStringLiteral(" [struck]") : QString());
        }
    }
    Q_EMIT menu.aboutToHide();
    return rows;
}
