#include "settings/SettingsKey.h"

SettingsKey::SettingsKey(QString topic, QString name)
    : m_topic(std::move(topic))
    , m_name(std::move(name))
{
}

SettingsKey SettingsKey::parse(const QString& key)
{
    const qsizetype hyphen = key.indexOf(u'-');
    if (hyphen < 0)
        return {QString(), key};
    return {key.left(hyphen), key.mid(hyphen + 1)};
}

QString SettingsKey::toString() const
{
    return m_topic.isEmpty() ? m_name : m_topic + u'-' + m_name;
}
