#include "settings/QRNHostUserDefaults.h"

#include "platform/defaults/UserDefaults.h"

namespace {
QRNHostUserDefaults::ChangeDelegate& delegate()
{
    static QRNHostUserDefaults::ChangeDelegate instance;
    return instance;
}
} // namespace

void QRNHostUserDefaults::setGlobalChangeDelegate(ChangeDelegate changeDelegate)
{
    delegate() = std::move(changeDelegate);
}

void QRNHostUserDefaults::setBool(bool value, const QString& key)
{
    setObject(value, key);
}

void QRNHostUserDefaults::setInteger(qint64 value, const QString& key)
{
    setObject(value, key);
}

void QRNHostUserDefaults::setObject(const QVariant& value, const QString& key)
{
    if (key.isEmpty())
        return;
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject(key, value, UserDefaults::Domain::Host);
    // A copy: the reaction may replace the delegate.
    if (const ChangeDelegate changeDelegate = delegate())
        changeDelegate(defaults.objectForKey(key), key);
}
