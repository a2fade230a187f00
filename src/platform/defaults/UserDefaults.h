#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

// A domain of user settings: property-list values by key. Values are kept in
// memory for the life of the process.
class UserDefaults {
public:
    static UserDefaults& standardUserDefaults();

    QVariant objectForKey(const QString& key) const { return m_values.value(key); }
    bool hasKey(const QString& key) const { return m_values.contains(key); }
    // Booleans, numbers and the texts "YES"/"true"/"1" read as true.
    bool boolForKey(const QString& key) const;
    // Missing or non-numeric values read as 0.
    qint64 integerForKey(const QString& key) const;
    // Empty when missing or not a text.
    QString stringForKey(const QString& key) const;

    void setObject(const QString& key, const QVariant& value);
    void removeObject(const QString& key);
    void clear() { m_values.clear(); }
    QVariantMap dictionaryRepresentation() const { return m_values; }

private:
    QVariantMap m_values;
};
