#include "platform/statusbar/DBusMenuAdaptor.h"

#include "platform/statusbar/DBusMenuExporter.h"

#include <QGuiApplication>

DBusMenuAdaptor::DBusMenuAdaptor(DBusMenuExporter* exporter)
    : QDBusAbstractAdaptor(exporter)
    , m_exporter(*exporter)
{
    setAutoRelaySignals(false);
    connect(exporter, &DBusMenuExporter::layoutUpdated, this, &DBusMenuAdaptor::LayoutUpdated);
    connect(exporter, &DBusMenuExporter::itemsPropertiesUpdated, this, &DBusMenuAdaptor::ItemsPropertiesUpdated);
}

QString DBusMenuAdaptor::textDirection() const
{
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl") : QStringLiteral("ltr");
}

void DBusMenuAdaptor::replyUnknownRow(int id)
{
    // Calls through an adaptor carry their context on the adapted object.
    if (m_exporter.calledFromDBus())
        m_exporter.sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("no menu row with id %1").arg(id));
}

uint DBusMenuAdaptor::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames, DBusMenuLayoutItem& layout)
{
    if (!m_exporter.layout(parentId, recursionDepth, propertyNames, layout))
        replyUnknownRow(parentId);
    return m_exporter.revision();
}

DBusMenuItemPropertiesList DBusMenuAdaptor::GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames)
{
    return m_exporter.groupProperties(ids, propertyNames);
}

QDBusVariant DBusMenuAdaptor::GetProperty(int id, const QString& name)
{
    const std::optional<QVariant> value = m_exporter.property(id, name);
    if (!value)
        replyUnknownRow(id);
    // A variant must hold something even when the answer is an error.
    return QDBusVariant(value && value->isValid() ? *value : QVariant(QString()));
}

void DBusMenuAdaptor::Event(int id, const QString& eventId, const QDBusVariant&, uint)
{
    if (!m_exporter.handleEvent(id, eventId))
        replyUnknownRow(id);
}

QList<int> DBusMenuAdaptor::EventGroup(const DBusMenuEventList& events)
{
    QList<int> idErrors;
    for (const DBusMenuEvent& event : events) {
        if (!m_exporter.handleEvent(event.id, event.eventId))
            idErrors.append(event.id);
    }
    return idErrors;
}

bool DBusMenuAdaptor::AboutToShow(int id)
{
    const std::optional<bool> changed = m_exporter.aboutToShow(id);
    if (!changed)
        replyUnknownRow(id);
    return changed.value_or(false);
}

QList<int> DBusMenuAdaptor::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors)
{
    QList<int> updatesNeeded;
    for (int id : ids) {
        const std::optional<bool> changed = m_exporter.aboutToShow(id);
        if (!changed)
            idErrors.append(id);
        else if (*changed)
            updatesNeeded.append(id);
    }
    return updatesNeeded;
}
