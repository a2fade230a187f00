#include "platform/linux/OperatingSystemRelease.h"

#include <QFile>

namespace {
// Removes the quoting of one assignment's value as a shell would: double
// quotes allow the escapes \$ \" \\ \`, single quotes allow none.
QString unquoted(QByteArrayView value)
{
    QByteArray out;
    char quote = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (quote == 0 && (c == '"' || c == '\'')) {
            quote = c;
        } else if (c == quote) {
            quote = 0;
        } else if (c == '\\' && quote != '\'' && i + 1 < value.size()) {
            out += value[++i];
        } else {
            out += c;
        }
    }
    return QString::fromUtf8(out);
}
} // namespace

OperatingSystemRelease::OperatingSystemRelease(const QString& sysroot)
    : m_sysroot(sysroot)
{
}

QString OperatingSystemRelease::prettyName() const
{
    for (const char* relative : {"etc/os-release", "usr/lib/os-release"}) {
        QFile file(m_sysroot.path(QString::fromLatin1(relative)));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const std::optional<QString> name = valueForKey(file.readAll(), "PRETTY_NAME");
        if (name && !name->isEmpty())
            return *name;
        break;
    }
    return QStringLiteral("Linux");
}

std::optional<QString> OperatingSystemRelease::valueForKey(QByteArrayView text, QByteArrayView key)
{
    std::optional<QString> value;
    for (const QByteArray& untrimmed : text.toByteArray().split('\n')) {
        const QByteArrayView line = QByteArrayView(untrimmed).trimmed();
        if (line.startsWith(key) && line.sliced(key.size()).startsWith('='))
            value = unquoted(line.sliced(key.size() + 1));
    }
    return value;
}
