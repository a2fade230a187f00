#pragma once

#include <QString>
#include <QVariantMap>

#include <functional>
#include <map>

// Process-wide broadcast of named notifications with a user-info dictionary.
// Observers are called synchronously, in the order they were added, on the
// thread that posts (always the main thread in Vistrel).
class NotificationCenter {
public:
    using Observer = std::function<void(const QString& name, const QVariantMap& userInfo)>;
    using Token = quint64;

    static NotificationCenter& defaultCenter();

    // An empty name observes every notification.
    Token addObserver(const QString& name, Observer observer);
    void removeObserver(Token token);
    void post(const QString& name, const QVariantMap& userInfo = {});

private:
    struct Registration {
        QString name;
        Observer observer;
    };
    std::map<Token, Registration> m_observers;
    Token m_nextToken = 1;
};
