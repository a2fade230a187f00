#include "platform/registry/RegistrySysroot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

RegistrySysroot::RegistrySysroot(const QString& root)
    : m_root(root.isEmpty() ? QStringLiteral("/") : root)
    , m_canonicalRoot(QFileInfo(m_root).canonicalFilePath())
{
}

QString RegistrySysroot::defaultRoot()
{
    const QString fromEnvironment = qEnvironmentVariable("VISTREL_SYSROOT");
    return fromEnvironment.isEmpty() ? QStringLiteral("/") : fromEnvironment;
}

QString RegistrySysroot::absolute(const QString& relative) const
{
    return m_root + u'/' + relative;
}

std::optional<QByteArray> RegistrySysroot::read(const QString& relative) const
{
    QFile file(absolute(relative));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

QString RegistrySysroot::text(const QString& relative) const
{
    const std::optional<QByteArray> bytes = read(relative);
    return bytes ? QString::fromUtf8(*bytes).trimmed() : QString();
}

bool RegistrySysroot::exists(const QString& relative) const
{
    return QFileInfo::exists(absolute(relative));
}

QStringList RegistrySysroot::entries(const QString& relative) const
{
    return QDir(absolute(relative)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
}

QString RegistrySysroot::resolved(const QString& relative) const
{
    const QString canonical = QFileInfo(absolute(relative)).canonicalFilePath();
    if (canonical.isEmpty() || m_canonicalRoot.isEmpty())
        return {};
    if (m_canonicalRoot == QLatin1String("/"))
        return canonical.mid(1);
    if (!canonical.startsWith(m_canonicalRoot + u'/'))
        return {};
    return canonical.mid(m_canonicalRoot.size() + 1);
}
