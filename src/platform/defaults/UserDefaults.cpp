#include "platform/defaults/UserDefaults.h"

UserDefaults& UserDefaults::standardUserDefaults()
{
    static UserDefaults defaults;
    return defaults;
}

bool UserDefaults::boolForKey(const QString& key) const
{
    const QVariant value = m_values.value(key);
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        return text.compare(QLatin1String("YES"), Qt::CaseInsensitive) == 0
            || text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
            || text.toLongLong() != 0;
    }
    default:
        return value.canConvert<double>() && value.toDouble() != 0;
    }
}

qint64 UserDefaults::integerForKey(const QString& key) const
{
    const QVariant value = m_values.value(key);
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    return ok ? number : 0;
}

QString UserDefaults::stringForKey(const QString& key) const
{
    const QVariant value = m_values.value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

void UserDefaults::setObject(const QString& key, const QVariant& value)
{
    if (key.isEmpty())
        return;
    if (!value.isValid()) {
        m_values.remove(key);
        return;
    }
    m_values.insert(key, value);
}

void UserDefaults::removeObject(const QString& key)
{
    m_values.remove(key);
}
