#include "LxqtPanel.h"

#include <QDir>
#include <QFile>

LxqtPanel::LxqtPanel(bool startNow)
{
    if (startNow)
        start();
}

void LxqtPanel::start()
{
    const QString folder = homePath(QStringLiteral("config/lxqt"));
    if (!QDir().mkpath(folder) || !QFile::copy(QStringLiteral(LXQT_PANEL_CONFIGURATION), folder + QStringLiteral("/panel.conf")))
        return;
    // The panel finds its theme and defaults under /usr/share, which Debian does not list by default.
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("XDG_CONFIG_DIRS"), QStringLiteral("/etc/xdg:/usr/share"));
    launch(QStringLiteral(LXQT_PANEL_EXECUTABLE), {}, environment);
}
