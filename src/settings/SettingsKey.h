#pragma once

#include <QString>

// A settings key split once into the topic it belongs to and its own name:
// "ProcessorTopic-ShowCPUGraphs" is the name "ShowCPUGraphs" of the topic
// "ProcessorTopic". An application-level key ("PassedFirstStart") has no topic.
class SettingsKey {
public:
    SettingsKey() = default;
    SettingsKey(QString topic, QString name);
    // The part before the first hyphen is the topic.
    static SettingsKey parse(const QString& key);

    const QString& topic() const { return m_topic; }
    const QString& name() const { return m_name; }
    bool hasTopic() const { return !m_topic.isEmpty(); }
    bool isEmpty() const { return m_topic.isEmpty() && m_name.isEmpty(); }
    // The stored form, "<topic>-<name>" or the bare name.
    QString toString() const;
    static QString stored(const QString& topic, const QString& name) { return SettingsKey(topic, name).toString(); }

    friend bool operator==(const SettingsKey&, const SettingsKey&) = default;

private:
    QString m_topic;
    QString m_name;
};
