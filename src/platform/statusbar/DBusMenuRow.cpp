#include "platform/statusbar/DBusMenuRow.h"

#include <QAction>
#include <QActionGroup>
#include <QBuffer>
#include <QMenu>
#include <QWidget>
#include <QWidgetAction>

#include <algorithm>

namespace {

QByteArray pngOf(QWidget& view, int width)
{
    // A custom view stretches to the menu's width, as it would in an open menu.
    view.resize(width, view.height());
    const QImage image = view.grab().toImage();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// Text shown as it stands: only dbusmenu's own mnemonic mark needs escaping.
QString literalLabel(const QString& text)
{
    return QString(text).replace(u'_', QStringLiteral("__"));
}

QWidget* viewOf(const QAction& action)
{
    const auto* row = qobject_cast<const QWidgetAction*>(&action);
    return row ? row->defaultWidget() : nullptr;
}

} // namespace

int DBusMenuRow::menuWidth(const QMenu& menu)
{
    int width = menu.minimumWidth();
    for (QAction* action : menu.actions()) {
        if (QWidget* view = viewOf(*action))
            width = std::max(width, view->width());
    }
    return width;
}

QString DBusMenuRow::label(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'_') {
            out += QStringLiteral("__");
        } else if (c == u'&' && i + 1 < text.size()) {
            // "&&" is a literal ampersand, "&x" marks x as the mnemonic.
            ++i;
            if (text[i] != u'&')
                out += u'_';
            out += text[i] == u'_' ? QStringLiteral("__") : QString(text[i]);
        } else {
            out += c;
        }
    }
    return out;
}

QString DBusMenuRow::joinedPair(const QString& pair)
{
    const qsizetype tab = pair.indexOf(u'\t');
    if (tab < 0)
        return pair.trimmed();
    // Values come padded for a column of their own; a missing half leaves no gap.
    const QString label = pair.left(tab).trimmed();
    const QString value = pair.mid(tab + 1).trimmed();
    if (label.isEmpty() || value.isEmpty())
        return label + value;
    return label + u' ' + value;
}

std::optional<QVariantMap> DBusMenuRow::propertiesOf(QAction& action, int menuWidth)
{
    QVariantMap properties;
    if (!action.isVisible())
        properties.insert(QStringLiteral("visible"), false);
    if (action.isSeparator()) {
        properties.insert(QStringLiteral("type"), QStringLiteral("separator"));
        return properties;
    }
    bool enabled = action.isEnabled();
    if (QWidget* view = viewOf(action)) {
        const QString name = view->accessibleName();
        if (name.isEmpty())
            return std::nullopt;
        const qsizetype tab = name.indexOf(u'\t');
        if (tab < 0) {
            properties.insert(QStringLiteral("icon-data"), pngOf(*view, menuWidth));
            properties.insert(QStringLiteral("accessible-desc"), name);
        } else {
            properties.insert(QStringLiteral("label"), literalLabel(joinedPair(name)));
            // Headings are drawn bold; hosts cannot, so they show them as rows one cannot choose.
            if (view->font().bold())
                enabled = false;
        }
    } else {
        properties.insert(QStringLiteral("label"), label(action.text()));
    }
    if (!enabled)
        properties.insert(QStringLiteral("enabled"), false);
    if (action.isCheckable()) {
        properties.insert(QStringLiteral("toggle-type"), action.actionGroup() && action.actionGroup()->isExclusive()
                ? QStringLiteral("radio") : QStringLiteral("checkmark"));
        properties.insert(QStringLiteral("toggle-state"), action.isChecked() ? 1 : 0);
    }
    if (action.menu())
        properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    return properties;
}
