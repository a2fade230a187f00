#include "platform/desktop/StateDirectory.h"

#include "platform/log/Log.h"

#include <QDir>

#include <sys/stat.h>

QString StateDirectory::path()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    // The base directory rules say a relative value is to be ignored.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/vistrel");
}

QString StateDirectory::ensure()
{
    const QString folder = path();
    if (QDir(folder).exists())
        return folder;
    if (!QDir().mkpath(folder)) {
        Log::error("%{public}@: could not create the folder '%{public}@'.", {QStringLiteral("StateDirectory"), folder});
        return {};
    }
    ::chmod(QFile::encodeName(folder).constData(), 0700);
    return folder;
}
