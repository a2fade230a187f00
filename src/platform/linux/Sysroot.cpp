#include "platform/linux/Sysroot.h"

#include <QFile>

Sysroot::Sysroot(const QString& root)
    : m_root(root)
{
    if (m_root.isEmpty())
        m_root = qEnvironmentVariable("VISTREL_SYSROOT");
    if (m_root.isEmpty())
        m_root = QStringLiteral("/");
    if (!m_root.endsWith(u'/'))
        m_root.append(u'/');
}

QString Sysroot::path(const QString& relative) const
{
    return m_root + relative;
}

std::string Sysroot::filePath(const QString& relative) const
{
    return QFile::encodeName(path(relative)).toStdString();
}
