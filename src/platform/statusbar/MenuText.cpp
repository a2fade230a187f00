#include "platform/statusbar/MenuText.h"

#include <QMenu>
#include <QWidgetAction>

namespace {

void appendMenu(const QMenu& menu, const QString& indent, QString& out)
{
    for (QAction* action : menu.actions()) {
        if (!action->isVisible())
            continue;
        if (action->isSeparator()) {
            out += indent + QStringLiteral("-----\n");
            continue;
        }
        QString text = action->text();
        // Custom rows describe themselves through their accessible name.
        if (auto* widgetAction = qobject_cast<QWidgetAction*>(action); widgetAction && widgetAction->defaultWidget()) {
            text = widgetAction->defaultWidget()->accessibleName();
            // Spacers and other rows without content have nothing to say.
            if (text.isEmpty())
                continue;
        }
        text.remove(u'&');
        if (!action->isEnabled())
            text += QStringLiteral(" (disabled)");
        out += indent + text + u'\n';
        if (action->menu())
            appendMenu(*action->menu(), indent + QStringLiteral("    "), out);
    }
}

} // namespace

QString MenuText::of(const QMenu& menu)
{
    QString out;
    appendMenu(menu, QString(), out);
    return out;
}
