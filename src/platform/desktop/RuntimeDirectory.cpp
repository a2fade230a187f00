#include "platform/desktop/RuntimeDirectory.h"

#include "platform/log/Log.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString LogName = QStringLiteral("RuntimeDirectory");

// Our own folder of that name, with only our access; false for anything
// another user made or could have swapped in (a link, a file).
bool isPrivateFolder(const QByteArray& path)
{
    struct stat info {};
    if (lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid())
        return false;
    return (info.st_mode & 0777) == 0700 || chmod(path.constData(), 0700) == 0;
}

} // namespace

QString RuntimeDirectory::ensure(const QString& baseFolder)
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return qEnvironmentVariable("XDG_RUNTIME_DIR");
    QByteArray path = QFile::encodeName(QStringLiteral("%1/vistrel-runtime-%2").arg(baseFolder).arg(getuid()));
    if (mkdir(path.constData(), 0700) != 0 && (errno != EEXIST || !isPrivateFolder(path))) {
        // The usual name is taken by something else: a fresh folder of our own.
        path += "-XXXXXX";
        if (!mkdtemp(path.data())) {
            Log::error("%{public}@: XDG_RUNTIME_DIR is not set and no private folder could be made in %{public}@: %{errno}d.",
                {LogName, baseFolder, errno});
            return {};
        }
    }
    qputenv("XDG_RUNTIME_DIR", path);
    const QString folder = QFile::decodeName(path);
    Log::info("XDG_RUNTIME_DIR is not set: using the private folder %{public}@.", {folder});
    return folder;
}
