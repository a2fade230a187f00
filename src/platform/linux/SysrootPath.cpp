#include "platform/linux/SysrootPath.h"

SysrootPath::SysrootPath(const QString& root)
    : m_root(root)
{
    if (m_root.isEmpty())
        m_root = qEnvironmentVariable("VISTREL_SYSROOT");
    if (m_root.isEmpty())
        m_root = QStringLiteral("/");
    if (!m_root.endsWith(u'/'))
        m_root.append(u'/');
}
