#include "app/SupportWindows.h"

#include "support/ApplicationName.h"
#include "support/EventLog.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QUrl>

SupportWindows::SupportWindows() = default;
SupportWindows::~SupportWindows() = default;

void SupportWindows::showDiagnosticsWindow(const QString& instrumentDescriptions)
{
    if (!m_diagnosticWindow) {
        m_diagnosticWindow = std::make_unique<QPlainTextEdit>();
        m_diagnosticWindow->setReadOnly(true);
        m_diagnosticWindow->setObjectName(QStringLiteral("diagnosticWindow"));
        m_diagnosticWindow->setWindowTitle(tr("%1 Diagnostics").arg(localizedApplicationName()));
        m_diagnosticWindow->resize(640, 400);
    }
    m_diagnosticWindow->setPlainText(instrumentDescriptions + EventLog::lines().join(QString()));
    m_diagnosticWindow->show();
    m_diagnosticWindow->raise();
    m_diagnosticWindow->activateWindow();
}

void SupportWindows::orderFrontStandardAboutPanel(QWidget* parent)
{
    QMessageBox::about(parent, tr("About %1").arg(localizedApplicationName()),
        tr("<b>%1</b> %2<p>A system monitor that lives in the menu bar.</p>")
            .arg(localizedApplicationName(), QStringLiteral(VISTREL_VERSION)));
}

void SupportWindows::showHelp()
{
    const QString installed = QStringLiteral("/usr/share/doc/vistrel/README.md");
    const QString source = QStringLiteral(VISTREL_SOURCE_DIR "/README.md");
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo::exists(installed) ? installed : source));
}
