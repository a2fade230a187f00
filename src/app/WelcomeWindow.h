#pragma once

#include <QWidget>

class QLabel;

// Greets the user on the first start of a version: a title, a short text
// about what to do next, and a button that closes it.
class WelcomeWindow : public QWidget {
    Q_OBJECT
public:
    // Why this start of a new version is greeted.
    enum class Occasion { FirstStart, SettingsTakenOver, MenuBarPartRetired };

    WelcomeWindow();

    void present(Occasion occasion);
    QString information() const;

private:
    static QString informationFor(Occasion occasion);

    QLabel* m_title;
    QLabel* m_information;
};
