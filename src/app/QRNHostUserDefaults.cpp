#include "app/QRNHostUserDefaults.h"

#include "app/ApplicationDelegate.h"
#include "platform/defaults/UserDefaults.h"

#include <QPointer>

namespace {
QPointer<ApplicationDelegate>& delegate()
{
    static QPointer<ApplicationDelegate> instance;
    return instance;
}
} // namespace

void QRNHostUserDefaults::setGlobalChangeDelegate(ApplicationDelegate* changeDelegate)
{
    delegate() = changeDelegate;
}

ApplicationDelegate* QRNHostUserDefaults::globalChangeDelegate()
{
    return delegate();
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
    if (ApplicationDelegate* changeDelegate = delegate())
        changeDelegate->handleChangeOfValue(defaults.objectForKey(key), key);
}
