#include "support/DiagnosticReport.h"

#include <QSaveFile>

QString DiagnosticReport::presentedVersion(const QString& shortVersion, const QString& build)
{
    if (shortVersion.isEmpty())
        return {};
    QString text = QStringLiteral("Version %1").arg(shortVersion);
    if (!build.isEmpty())
        text += QStringLiteral(" (Build %1)").arg(build);
    return text;
}

QString DiagnosticReport::header(const QString& applicationName, const QString& presentedVersion, quint32 osVersionCode)
{
    return QStringLiteral("App: %1\nVersion: %2\n\n").arg(applicationName, presentedVersion)
        + QStringLiteral("OS type: %1\n\n").arg(qint64(osVersionCode));
}

QString DiagnosticReport::suggestedPath(const QString& folder, const QDateTime& time)
{
    return folder + QStringLiteral("/Vistrel Report %1.txt").arg(time.toString(QStringLiteral("yyyy-MM-dd HHmmss")));
}

bool DiagnosticReport::save(const QString& text, const QString& path, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
