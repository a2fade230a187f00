#include "app/WelcomeWindow.h"

#include "support/ApplicationName.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

WelcomeWindow::WelcomeWindow()
    : QWidget(nullptr, Qt::Dialog)
    , m_title(new QLabel)
    , m_information(new QLabel)
{
    setObjectName(QStringLiteral("welcomeWindow"));
    QFont font = m_title->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    font.setBold(true);
    m_title->setFont(font);
    m_information->setWordWrap(true);
    auto* button = new QPushButton(tr("OK"));
    button->setDefault(true);
    connect(button, &QPushButton::clicked, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_information, 1);
    layout->addWidget(button, 0, Qt::AlignRight);
    setFixedWidth(460);
}

QString WelcomeWindow::informationFor(Occasion occasion)
{
    switch (occasion) {
    case Occasion::FirstStart:
        return tr("The configuration window can be used to define the menu-bar items as you like them. The next time you start this App, you can re-open the window via the menu item 'Preferences...' in any of the menu-bar items of Vistrel, if required.");
    case Occasion::MenuBarPartRetired:
        return tr("With modern versions of macOS, the architecture of this App could be simplified. The menu-bar part is no longer a separate component, so the preference setting 'keep in menu bar' that you had activated needs an update.\n\nmacOS requires you to confirm this manually. Please select the menu item 'Options > Open at login' via the Dock tile of this App now to give your permission to launch the App automatically. You can change this setting any time via the Users & Groups pane of System Preferences.");
    case Occasion::SettingsTakenOver:
        break;
    }
    return tr("Your settings from the previous version have been taken over successfully. The Dock icon and main menu will hide when you close the configuration window.");
}

void WelcomeWindow::present(Occasion occasion)
{
    const QString title = tr("Welcome to %1 %2").arg(localizedApplicationName(), QStringLiteral(VISTREL_VERSION));
    setWindowTitle(title);
    m_title->setText(title);
    m_information->setText(informationFor(occasion));
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    show();
    raise();
    activateWindow();
}

QString WelcomeWindow::information() const
{
    return m_information->text();
}
