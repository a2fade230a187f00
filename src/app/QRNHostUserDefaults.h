#pragma once

#include <QString>
#include <QVariant>

class ApplicationDelegate;

// The one writer of settings. Values go to the host-specific domain, and
// every write is reported at once to the global change delegate, so a
// setting takes effect inside the call that stores it.
class QRNHostUserDefaults {
public:
    static void setGlobalChangeDelegate(ApplicationDelegate* delegate);
    static ApplicationDelegate* globalChangeDelegate();

    static void setBool(bool value, const QString& key);
    static void setInteger(qint64 value, const QString& key);
    // An invalid value removes the key.
    static void setObject(const QVariant& value, const QString& key);
    // Every write is already on disk; kept for callers that want to be sure.
    static void synchronize() {}
};
