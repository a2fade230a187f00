#pragma once

#include <QWidget>

class QLabel;

// Greets the user on the first start of a version: a title, a short text
// about what to do next, and a button that closes it.
class WelcomeWindow : public QWidget {
    Q_OBJECT
public:
    WelcomeWindow();

    void present(const QString& title, const QString& information);
    QString information() const;

private:
    QLabel* m_title;
    QLabel* m_information;
};
