#include "app/DiagnosticsWindow.h"

#include "platform/desktop/StateDirectory.h"
#include "platform/log/Log.h"
#include "support/ApplicationName.h"
#include "support/DiagnosticReport.h"
#include "support/EventLog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

DiagnosticsWindow::DiagnosticsWindow()
    : m_reportText(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("diagnosticWindow"));
    setWindowTitle(tr("%1 Diagnostics").arg(localizedApplicationName()));
    m_reportText->setObjectName(QStringLiteral("reportText"));
    m_reportText->setReadOnly(true);
    m_reportText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_reportText->setPlainText(EventLog::reportText());
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* save = buttons->addButton(tr("Save Report..."), QDialogButtonBox::ActionRole);
    connect(save, &QPushButton::clicked, this, &DiagnosticsWindow::saveDiagnosticReport);
    connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this, &DiagnosticsWindow::saveDiagnosticReport);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_reportText);
    layout->addWidget(buttons);
    resize(720, 440);
    EventLog::setListener([this](const QString& text) { appendText(text); });
}

DiagnosticsWindow::~DiagnosticsWindow()
{
    EventLog::setListener({});
}

QString DiagnosticsWindow::reportText() const
{
    return m_reportText->toPlainText();
}

void DiagnosticsWindow::appendText(const QString& text)
{
    // The text view adds a paragraph per appendPlainText; inserting at the end
    // keeps the line feeds exactly as the messages carry them.
    QTextCursor cursor(m_reportText->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    m_reportText->verticalScrollBar()->setValue(m_reportText->verticalScrollBar()->maximum());
}

void DiagnosticsWindow::saveDiagnosticReport()
{
    auto* dialog = new QFileDialog(this, tr("Save Diagnostic Report"),
        DiagnosticReport::suggestedPath(StateDirectory::ensure(), QDateTime::currentDateTime()), tr("Text files (*.txt)"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("txt"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& path) { saveReportTo(path); });
    dialog->open();
}

bool DiagnosticsWindow::saveReportTo(const QString& path)
{
    QString error;
    if (DiagnosticReport::save(reportText(), path, &error)) {
        Log::info("%{public}@: saved the diagnostic report as '%{public}@'.", {QStringLiteral("DiagnosticsWindow"), path});
        return true;
    }
    auto* alert = new QMessageBox(QMessageBox::Warning, tr("The report could not be saved"),
        tr("The file %1 could not be written: %2").arg(path, error), QMessageBox::Ok, this);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::WindowModal);
    alert->open();
    return false;
}
