#include "configuration/ConfigurationWindow.h"

#include <QCloseEvent>
#include <QLabel>

ConfigurationWindow::ConfigurationWindow(const QString& applicationName)
{
    setWindowTitle(tr("%1 Configuration").arg(applicationName));
    setObjectName(QStringLiteral("configurationWindow"));
    resize(720, 480);
}

void ConfigurationWindow::closeEvent(QCloseEvent* event)
{
    Q_EMIT windowWillClose();
    QMainWindow::closeEvent(event);
}
