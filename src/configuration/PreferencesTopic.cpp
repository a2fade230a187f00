#include "configuration/PreferencesTopic.h"

#include "platform/desktop/LoginItem.h"

#include <QCheckBox>
#include <QEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

QString PreferencesTopic::systemSymbolNameOfIcon() const
{
    return QStringLiteral("ellipsis.circle");
}

QString PreferencesTopic::accessibilityDescriptionOfIcon() const
{
    return tr("preferences action icon");
}

QWidget* PreferencesTopic::createContentView()
{
    QWidget* page = makeStandardPage();
    m_openAtLoginSwitch = new QCheckBox(tr("Open at login"));
    m_openAtLoginSwitch->setObjectName(QStringLiteral("openAtLoginSwitch"));
    connect(m_openAtLoginSwitch, &QCheckBox::toggled, this, &PreferencesTopic::setOpensAtLogin);
    pageLayout()->addWidget(m_openAtLoginSwitch);
    page->installEventFilter(this);
    return page;
}

void PreferencesTopic::setOpensAtLogin(bool open)
{
    LoginItem::setEnabled(open);
    // After a failed write the switch shows what is really there.
    showLoginItemState();
}

void PreferencesTopic::showLoginItemState()
{
    if (!m_openAtLoginSwitch)
        return;
    const QSignalBlocker blocker(m_openAtLoginSwitch);
    m_openAtLoginSwitch->setChecked(LoginItem::isEnabled());
}

bool PreferencesTopic::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched == contentView())
        showLoginItemState();
    return ConfigurationTopic::eventFilter(watched, event);
}
