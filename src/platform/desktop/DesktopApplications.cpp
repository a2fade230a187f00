#include "platform/desktop/DesktopApplications.h"

#include <QDir>
#include <algorithm>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace {

QStringList commandOfEntry(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString contents = QString::fromUtf8(file.readAll());
    if (DesktopApplications::entryValue(contents, QStringLiteral("Hidden")) == QLatin1String("true"))
        return {};
    const QString tryExec = DesktopApplications::entryValue(contents, QStringLiteral("TryExec"));
    if (!tryExec.isEmpty() && QStandardPaths::findExecutable(tryExec).isEmpty() && !QFile::exists(tryExec))
        return {};
    QStringList arguments = DesktopApplications::execArguments(DesktopApplications::entryValue(contents, QStringLiteral("Exec")));
    if (arguments.isEmpty() || QStandardPaths::findExecutable(arguments.first()).isEmpty())
        return {};
    return arguments;
}

} // namespace

QString DesktopApplications::entryValue(const QString& contents, const QString& key)
{
    bool inDesktopEntry = false;
    for (const QString& rawLine : contents.split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'['))
            inDesktopEntry = line == QLatin1String("[Desktop Entry]");
        else if (inDesktopEntry && line.startsWith(key + u'='))
            return line.mid(key.size() + 1).trimmed();
    }
    return {};
}

QStringList DesktopApplications::execArguments(const QString& exec)
{
    QStringList arguments = QProcess::splitCommand(exec);
    // Field codes (%f, %U, %i ...) stand for files and icons we never pass.
    arguments.erase(std::remove_if(arguments.begin(), arguments.end(),
                        [](const QString& a) { return a.size() == 2 && a[0] == u'%'; }),
        arguments.end());
    for (QString& argument : arguments)
        argument.replace(QLatin1String("%%"), QLatin1String("%"));
    return arguments;
}

QStringList DesktopApplications::commandOfFirstInstalled(const QStringList& desktopIds, const QStringList& dataDirectories)
{
    const QStringList folders = dataDirectories.isEmpty()
        ? QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)
        : dataDirectories;
    for (const QString& id : desktopIds) {
        for (const QString& folder : folders) {
            const QString path = QDir(folder).filePath(id + QStringLiteral(".desktop"));
            if (!QFile::exists(path))
                continue;
            const QStringList command = commandOfEntry(path);
            if (!command.isEmpty())
                return command;
        }
    }
    return {};
}

bool DesktopApplications::launchFirstInstalled(const QStringList& desktopIds)
{
    QStringList command = commandOfFirstInstalled(desktopIds);
    if (command.isEmpty())
        return false;
    const QString program = command.takeFirst();
    return QProcess::startDetached(program, command);
}

QStringList DesktopApplications::systemMonitors()
{
    return {QStringLiteral("org.gnome.SystemMonitor"), QStringLiteral("gnome-system-monitor"),
        QStringLiteral("org.kde.plasma-systemmonitor"), QStringLiteral("org.kde.ksysguard"),
        QStringLiteral("xfce4-taskmanager"), QStringLiteral("mate-system-monitor"), QStringLiteral("lxtask"),
        QStringLiteral("qps")};
}
