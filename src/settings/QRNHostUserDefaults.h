#pragma once

#include <QString>
#include <QVariant>

#include <functional>

// The one writer of settings. Values go to the host-specific domain, and
// every write is reported at once to the global change delegate, so a
// setting takes effect inside the call that stores it.
class QRNHostUserDefaults {
public:
    // Receives the stored value and the key of every write.
    using ChangeDelegate = std::function<void(const QVariant& value, const QString& key)>;

    // An empty delegate stops the reports.
    static void setGlobalChangeDelegate(ChangeDelegate delegate);

    static void setBool(bool value, const QString& key);
    static void setInteger(qint64 value, const QString& key);
    // An invalid value removes the key.
    static void setObject(const QVariant& value, const QString& key);
};
