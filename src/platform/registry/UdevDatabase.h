#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>

class Sysroot;

// The properties udevd recorded for a device in <run>/udev/data/b<major>:<minor>:
// lines "E:KEY=value" (other line kinds, such as "S:" links and "G:" tags, are
// ignored). Without udevd there are no such files and every lookup is empty.
class UdevDatabase {
public:
    static QHash<QString, QString> parse(QByteArrayView text);
    // The properties of the block device with this "major:minor", or none.
    static QHash<QString, QString> forBlockDevice(const Sysroot& sysroot, const QString& majorMinor);

    // udev keeps raw texts in the *_ENC keys with \xNN escapes, and a
    // blank-free copy (blanks turned into '_') in the plain keys. The decoded
    // *_ENC text when present, otherwise the plain text with '_' as blanks;
    // trimmed.
    static QString text(const QHash<QString, QString>& properties, const QString& key);
    static QString decoded(const QString& encoded);
};
