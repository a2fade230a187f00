#include "extension/VistrelPlusService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

QString VistrelPlusService::pathOfPipeFolderForServerWithIdentifier(const QString& serverIdentifier, const QString& applicationGroup)
{
    if (serverIdentifier.isEmpty())
        return {};
    QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!base.startsWith(u'/')) {
        const QString home = qEnvironmentVariable("HOME");
        if (!home.startsWith(u'/'))
            return {};
        base = home + QStringLiteral("/.local/share");
    }
    if (!applicationGroup.isEmpty())
        base += u'/' + applicationGroup;
    return base + u'/' + serverIdentifier + QStringLiteral("/PipeComm");
}

QString VistrelPlusService::nameOfPipeForClientIdentifier(quint32 identifier)
{
    return QStringLiteral("out.%1").arg(identifier);
}

QByteArray VistrelPlusService::stringForConnectRequest()
{
    return "c" + QByteArray::number(quint32(::getpid())) + "\n";
}

QByteArray VistrelPlusService::stringForDisconnectRequest()
{
    return "d" + QByteArray::number(quint32(::getpid())) + "\n";
}

std::optional<QStringList> VistrelPlusService::clientPipePathsAtFolderPath(const QString& folder)
{
    if (folder.isEmpty())
        return std::nullopt;
    QDir directory(folder);
    if (!directory.exists() || !directory.isReadable())
        return std::nullopt;
    QStringList paths;
    for (const QString& name : directory.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString path = directory.filePath(name);
        struct stat status {};
        if (name.startsWith(QLatin1String("out")) && ::stat(QFile::encodeName(path).constData(), &status) == 0
            && S_ISFIFO(status.st_mode))
            paths.append(path);
    }
    return paths;
}
