#pragma once

#include <QDialog>
#include <QUrl>

class QLabel;
class QPushButton;
class QTextBrowser;

// Offers an update that the automatic check found: the product as the title,
// its version, and its release notes as rich text, with a button to the
// download page.
class QRNSoftwareUpdatePanel : public QDialog {
    Q_OBJECT
public:
    explicit QRNSoftwareUpdatePanel(QWidget* parent = nullptr);

    // Fills the panel and brings it, centred, to the front. The notes are
    // HTML; they are shown in the panel's own text colour, whatever colours
    // they name.
    void present(const QString& productName, const QString& versionNumber, const QString& notes, const QUrl& page);
    const QTextBrowser& infoText() const { return *m_infoText; }
    QUrl page() const { return m_page; }

private:
    void setNotes(const QString& notes);
    void openWebPage();

    QLabel* m_versionLabel;
    QTextBrowser* m_infoText;
    QPushButton* m_webButton;
    QUrl m_page;
};
