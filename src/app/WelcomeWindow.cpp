#include "app/WelcomeWindow.h"

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

void WelcomeWindow::present(const QString& title, const QString& information)
{
    setWindowTitle(title);
    m_title->setText(title);
    m_information->setText(information);
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
