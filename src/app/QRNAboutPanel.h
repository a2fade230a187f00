#pragma once

#include <QDialog>
#include <QTimer>

class QTextBrowser;

// The about panel: the application's symbol with its faded reflection, name,
// version, copyright, and the credits, which scroll slowly while the panel
// is the active window and start again from the top once at their end.
class QRNAboutPanel : public QDialog {
    Q_OBJECT
public:
    explicit QRNAboutPanel(QWidget* parent = nullptr);

    // The credits as shown: the resource text between eight empty lines above and below.
    static QString creditsText();
    QTextBrowser& credits() const { return *m_credits; }
    bool isScrolling() const { return m_scrollTimer.isActive(); }
    // One step of the scrolling: one point down, or back to the top at the end.
    void scrollCredits();
    // Centres the panel, brings it to the front and starts the scrolling.
    void present();

protected:
    void changeEvent(QEvent* event) override;

private:
    QTextBrowser* m_credits;
    QTimer m_scrollTimer;
};
