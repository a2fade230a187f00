#include "platform/registry/UdevDatabase.h"

#include "platform/linux/Sysroot.h"

#include <QByteArray>
#include <QList>

QHash<QString, QString> UdevDatabase::parse(QByteArrayView text)
{
    QHash<QString, QString> properties;
    for (const QByteArray& line : text.toByteArray().split('\n')) {
        if (!line.startsWith("E:"))
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals < 3)
            continue;
        properties.insert(QString::fromUtf8(line.mid(2, equals - 2)), QString::fromUtf8(line.mid(equals + 1)));
    }
    return properties;
}

QHash<QString, QString> UdevDatabase::forBlockDevice(const Sysroot& sysroot, const QString& majorMinor)
{
    if (majorMinor.isEmpty())
        return {};
    const std::optional<QByteArray> text = sysroot.read(QStringLiteral("run/udev/data/b") + majorMinor);
    return text ? parse(*text) : QHash<QString, QString>();
}

QString UdevDatabase::text(const QHash<QString, QString>& properties, const QString& key)
{
    const auto encoded = properties.constFind(key + QStringLiteral("_ENC"));
    if (encoded != properties.cend())
        return decoded(*encoded).trimmed();
    QString plain = properties.value(key);
    return plain.replace(u'_', u' ').trimmed();
}

QString UdevDatabase::decoded(const QString& encoded)
{
    QByteArray bytes;
    const QByteArray source = encoded.toUtf8();
    for (qsizetype i = 0; i < source.size(); ++i) {
        if (source[i] == '\\' && i + 3 < source.size() && source[i + 1] == 'x') {
            bool ok = false;
            const int value = source.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                bytes.append(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        bytes.append(source[i]);
    }
    return QString::fromUtf8(bytes);
}
