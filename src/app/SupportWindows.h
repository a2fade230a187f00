#pragma once

#include <QObject>

#include <memory>

class DiagnosticsWindow;
class QRNAboutPanel;
class QRNSoftwareUpdateManager;
class QRNSoftwareUpdatePanel;

// The windows that help a user with the program itself: the diagnostics
// report, the about panel, the manual, the update check's answers and the
// panel that offers an update found by the automatic check.
class SupportWindows : public QObject {
    Q_OBJECT
public:
    SupportWindows();
    ~SupportWindows() override;

    // Brings the diagnostic report to the front, made when first asked for.
    void showDiagnosticsWindow();
    DiagnosticsWindow* diagnosticsWindow() const { return m_diagnosticWindow.get(); }
    void orderFrontStandardAboutPanel();
    QRNAboutPanel* aboutPanel() const { return m_aboutPanel.get(); }
    // Asks the update server, when one is configured, and shows the answer;
    // without one, says so and asks nobody.
    void checkForSoftwareUpdate();
    QRNSoftwareUpdateManager& updateManager() { return *m_updateManager; }
    QRNSoftwareUpdatePanel* updatePanel() const { return m_updatePanel.get(); }
    // The manual is the README, installed next to the program or beside its sources.
    static void showHelp();

private:
    void showUpdateAlert();
    void showUpdatePanel();

    std::unique_ptr<QRNSoftwareUpdateManager> m_updateManager;
    bool m_answerPending = false;
    std::unique_ptr<DiagnosticsWindow> m_diagnosticWindow;
    std::unique_ptr<QRNAboutPanel> m_aboutPanel;
    std::unique_ptr<QRNSoftwareUpdatePanel> m_updatePanel;
};
