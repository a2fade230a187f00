#include "platform/notifications/NotificationCenter.h"

#include <vector>

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

NotificationCenter::Token NotificationCenter::addObserver(const QString& name, Observer observer)
{
    const Token token = m_nextToken++;
    m_observers.emplace(token, Registration{name, std::move(observer)});
    return token;
}

void NotificationCenter::removeObserver(Token token)
{
    m_observers.erase(token);
}

void NotificationCenter::post(const QString& name, const QVariantMap& userInfo)
{
    // Observers may add or remove observers while being called: take the
    // tokens first and skip those removed meanwhile.
    std::vector<Token> tokens;
    for (const auto& [token, registration] : m_observers) {
        if (registration.name.isEmpty() || registration.name == name)
            tokens.push_back(token);
    }
    for (Token token : tokens) {
        auto it = m_observers.find(token);
        if (it == m_observers.end())
            continue;
        Observer observer = it->second.observer;
        observer(name, userInfo);
    }
}
