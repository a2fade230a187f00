#include "platform/desktop/ProgramLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <sys/statvfs.h>

namespace {

bool isInside(const QString& path, const QString& folder)
{
    const QString base = QFileInfo(folder).canonicalFilePath();
    return !base.isEmpty() && (path == base || path.startsWith(base + u'/'));
}

} // namespace

ProgramLocation::Kind ProgramLocation::of(const QString& folder)
{
    const QString path = QFileInfo(folder).canonicalFilePath();
    if (path.isEmpty())
        return Kind::Ordinary;
    for (const QString& temporary : {QDir::tempPath(), QStringLiteral("/tmp"), QStringLiteral("/dev/shm")}) {
        if (isInside(path, temporary))
            return Kind::Temporary;
    }
    struct statvfs facts {};
    if (::statvfs(QFile::encodeName(path).constData(), &facts) == 0 && (facts.f_flag & ST_RDONLY))
        return Kind::ReadOnly;
    return Kind::Ordinary;
}

QString ProgramLocation::executableFolder()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).absolutePath();
}
