#pragma once

#include <QObject>

#include <memory>

class QPlainTextEdit;
class QWidget;

// The windows that help a user with the program itself: the diagnostics
// report, the about panel and the manual.
class SupportWindows : public QObject {
    Q_OBJECT
public:
    SupportWindows();
    ~SupportWindows() override;

    // Shows the report: what the instruments say of themselves, then the event log.
    void showDiagnosticsWindow(const QString& instrumentDescriptions);
    void orderFrontStandardAboutPanel(QWidget* parent);
    // The manual is the README, installed next to the program or beside its sources.
    static void showHelp();

private:
    std::unique_ptr<QPlainTextEdit> m_diagnosticWindow;
};
