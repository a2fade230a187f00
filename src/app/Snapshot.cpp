#include "app/Snapshot.h"

#include "platform/statusbar/MenuText.h"
#include "platform/statusbar/StatusBar.h"

#include <QDir>
#include <QMenu>
#include <QFile>

namespace {

QString fileStem(int position, const StatusItem& item)
{
    const QString name = item.autosaveName().isEmpty() ? QStringLiteral("item") : item.autosaveName();
    return QStringLiteral("%1-%2").arg(position, 2, 10, QLatin1Char('0')).arg(name);
}

} // namespace

QStringList Snapshot::write(const StatusBar& bar, const QString& directory, QString* error)
{
    if (!QDir().mkpath(directory)) {
        *error = QStringLiteral("cannot create the folder '%1'").arg(directory);
        return {};
    }
    const QDir dir(directory);
    QStringList written;
    int position = 0;
    for (const StatusItem* item : bar.statusItems()) {
        ++position;
        const QString stem = dir.filePath(fileStem(position, *item));
        const QString imagePath = stem + QStringLiteral(".png");
        if (!item->renderButton(bar.devicePixelRatio(), bar.palette()).save(imagePath, "PNG")) {
            *error = QStringLiteral("cannot write '%1'").arg(imagePath);
            return {};
        }
        written << imagePath;
        if (!item->menu())
            continue;
        // The menu is written as it looks when opened: its rows fill on opening.
        Q_EMIT item->menu()->aboutToShow();
        const QString menuText = MenuText::of(*item->menu());
        Q_EMIT item->menu()->aboutToHide();
        const QString menuPath = stem + QStringLiteral(".menu.txt");
        QFile file(menuPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)
            || file.write(menuText.toUtf8()) < 0) {
            *error = QStringLiteral("cannot write '%1'").arg(menuPath);
            return {};
        }
        written << menuPath;
    }
    return written;
}
