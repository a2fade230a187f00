#include "platform/desktop/LoginItem.h"

#include "platform/desktop/DesktopApplications.h"
#include "platform/log/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QString LogName = QStringLiteral("LoginItem");

// A path as one Exec argument: bare when it has no character the desktop
// entry rules reserve, else quoted with those characters escaped.
QString execArgument(const QString& path)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9/._+-]+$"));
    if (plain.match(path).hasMatch())
        return path;
    QString quoted;
    for (const QChar c : path) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    // The entry's string rules escape each backslash once more; a percent
    // sign would start a field code.
    quoted.replace(u'\\', QLatin1String("\\\\"));
    quoted.replace(u'%', QLatin1String("%%"));
    return u'"' + quoted + u'"';
}

} // namespace

QString LoginItem::entryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/vistrel.desktop");
}

bool LoginItem::isEnabled()
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return isEnabledEntry(QString::fromUtf8(file.readAll()));
}

bool LoginItem::setEnabled(bool enabled)
{
    const QString path = entryPath();
    if (!enabled) {
        QFile file(path);
        if (file.exists() && !file.remove()) {
            Log::error("%{public}@: cannot remove '%{public}@': %{public}@.", {LogName, path, file.errorString()});
            return false;
        }
        return true;
    }
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(entryForExecutable(QCoreApplication::applicationFilePath())) < 0
        || !file.commit()) {
        Log::error("%{public}@: cannot write '%{public}@': %{public}@.", {LogName, path, file.errorString()});
        return false;
    }
    return true;
}

bool LoginItem::isEnabledEntry(const QString& contents)
{
    return DesktopApplications::entryValue(contents, QStringLiteral("Hidden")) != QLatin1String("true")
        && DesktopApplications::entryValue(contents, QStringLiteral("X-GNOME-Autostart-enabled")) != QLatin1String("false");
}

QByteArray LoginItem::entryForExecutable(const QString& path)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Vistrel\n"
                          "Comment=System monitor in the menu bar, started at login\n"
                          "Exec=%1\n"
                          "Icon=com.zentrovo.vistrel\n"
                          "Terminal=false\n")
        .arg(execArgument(path))
        .toUtf8();
}
