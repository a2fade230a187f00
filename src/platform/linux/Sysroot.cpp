#include "platform/linux/Sysroot.h"

#include "platform/linux/KernelFileReader.h"
#include "platform/linux/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

std::optional<QByteArray> Sysroot::read(const QString& relative) const
{
    return RegularFile::read(path(relative), KernelFileReader::MaximumFileSize);
}

QString Sysroot::text(const QString& relative) const
{
    const std::optional<QByteArray> bytes = read(relative);
    return bytes ? QString::fromUtf8(*bytes).trimmed() : QString();
}

bool Sysroot::exists(const QString& relative) const
{
    return QFileInfo::exists(path(relative));
}

QStringList Sysroot::entries(const QString& relative) const
{
    return QDir(path(relative)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
}

QString Sysroot::resolved(const QString& relative) const
{
    const QString canonical = QFileInfo(path(relative)).canonicalFilePath();
    const QString canonicalRoot = QFileInfo(m_root).canonicalFilePath();
    if (canonical.isEmpty() || canonicalRoot.isEmpty())
        return {};
    if (canonicalRoot == QLatin1String("/"))
        return canonical.mid(1);
    if (!canonical.startsWith(canonicalRoot + u'/'))
        return {};
    return canonical.mid(canonicalRoot.size() + 1);
}
