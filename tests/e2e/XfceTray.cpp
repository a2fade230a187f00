#include "XfceTray.h"

#include <QDir>
#include <QFile>

XfceTray::XfceTray()
{
    const QString folder = homePath(QStringLiteral("config/xfce4/xfconf/xfce-perchannel-xml"));
    // One panel of 70 pixels holding only the tray, its icons in one row as
    // tall as the panel (in the usual three rows every icon is shrunk into a
    // 22-pixel square); shared with bench/tray-message-rate.sh.
    if (!QDir().mkpath(folder) || !QFile::copy(QStringLiteral(XFCE_PANEL_CONFIGURATION), folder + QStringLiteral("/xfce4-panel.xml")))
        return;
    launch(QStringLiteral(XFCONFD_EXECUTABLE), {});
    launch(QStringLiteral(XFCE4_PANEL_EXECUTABLE), {QStringLiteral("--disable-wm-check")});
}
