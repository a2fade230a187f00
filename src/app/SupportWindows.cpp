#include "app/SupportWindows.h"

#include "app/DiagnosticsWindow.h"
#include "app/QRNAboutPanel.h"
#include "app/QRNSoftwareUpdatePanel.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/log/Log.h"
#include "support/ApplicationName.h"
#include "support/QRNProcessInfo.h"
#include "support/QRNSoftwareUpdateManager.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

SupportWindows::SupportWindows()
    : m_updateManager(std::make_unique<QRNSoftwareUpdateManager>(QStringLiteral("Vistrel"),
          QStringLiteral(VISTREL_VERSION), QRNProcessInfo::processInfo().operatingSystemVersionCode(),
          UserDefaults::standardUserDefaults()))
{
    connect(m_updateManager.get(), &QRNSoftwareUpdateManager::relevantUpdateFound, this, [this] {
        // A user who asked meanwhile gets the answer to the question instead.
        if (!m_answerPending)
            showUpdatePanel();
    });
    // Once the launch is complete, and only when the user wants it and set a source.
    QTimer::singleShot(0, m_updateManager.get(), &QRNSoftwareUpdateManager::runAutomaticUpdateCheckIfNecessary);
}

SupportWindows::~SupportWindows() = default;

void SupportWindows::showDiagnosticsWindow()
{
    if (!m_diagnosticWindow)
        m_diagnosticWindow = std::make_unique<DiagnosticsWindow>();
    Log::debug("%{public}@: showing the diagnostics window.", {QStringLiteral("SupportWindows")});
    m_diagnosticWindow->show();
    m_diagnosticWindow->raise();
    m_diagnosticWindow->activateWindow();
}

void SupportWindows::orderFrontStandardAboutPanel()
{
    if (!m_aboutPanel)
        m_aboutPanel = std::make_unique<QRNAboutPanel>();
    m_aboutPanel->present();
}

void SupportWindows::showHelp()
{
    const QString installed = QStringLiteral("/usr/share/doc/vistrel/README.md");
    const QString source = QStringLiteral(VISTREL_SOURCE_DIR "/README.md");
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo::exists(installed) ? installed : source));
}

void SupportWindows::checkForSoftwareUpdate()
{
    if (!m_updateManager->isSourceConfigured()) {
        showUpdateAlert();
        return;
    }
    // A check already under way (the automatic one) answers this request too.
    m_answerPending = true;
    connect(m_updateManager.get(), &QRNSoftwareUpdateManager::checkFinished, this, [this] {
        m_answerPending = false;
        showUpdateAlert();
    }, Qt::SingleShotConnection);
    if (!m_updateManager->isChecking())
        m_updateManager->runCheck();
}

void SupportWindows::showUpdatePanel()
{
    if (!m_updatePanel)
        m_updatePanel = std::make_unique<QRNSoftwareUpdatePanel>();
    const QVariantMap& info = m_updateManager->updateInfo();
    m_updatePanel->present(info.value(QStringLiteral("QRNProductName")).toString(),
        info.value(QStringLiteral("QRNVersionNumber")).toString(), m_updateManager->updateNotes(),
        m_updateManager->localizedProductURL());
}

void SupportWindows::showUpdateAlert()
{
    const QRNSoftwareUpdateManager::Alert alert = m_updateManager->isSourceConfigured()
        ? m_updateManager->alertWithResults()
        : QRNSoftwareUpdateManager::alertForMissingSource();
    auto* box = new QMessageBox(QMessageBox::Information, localizedApplicationName(), alert.title);
    box->setInformativeText(alert.text);
    box->setObjectName(QStringLiteral("updateAlert"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* first = nullptr;
    for (const QString& title : alert.buttons) {
        QPushButton* button = box->addButton(title, first ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        if (!first)
            first = button;
    }
    box->setDefaultButton(first);
    const QUrl page = alert.page;
    connect(box, &QMessageBox::buttonClicked, box, [box, first, page](QAbstractButton* clicked) {
        if (clicked == first && page.isValid() && !page.isEmpty())
            QDesktopServices::openUrl(page);
        box->close();
    });
    box->show();
    box->raise();
}
