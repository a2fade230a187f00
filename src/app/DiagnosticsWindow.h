#pragma once

#include <QWidget>

class QPlainTextEdit;

// The diagnostic report on screen: the header and the time-stamped events,
// followed live while the window exists, and a button that saves it as a
// text file (Ctrl+S does the same).
class DiagnosticsWindow : public QWidget {
    Q_OBJECT
public:
    DiagnosticsWindow();
    ~DiagnosticsWindow() override;

    QString reportText() const;
    // Asks where to save, starting in the state folder.
    void saveDiagnosticReport();
    // Writes the report there; a failure is shown on the window and answered false.
    bool saveReportTo(const QString& path);

private:
    void appendText(const QString& text);

    QPlainTextEdit* m_reportText;
};
