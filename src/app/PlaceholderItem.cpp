#include "app/PlaceholderItem.h"

#include "platform/statusbar/StatusBar.h"
#include "support/ApplicationName.h"

#include <QMenu>

PlaceholderItem::PlaceholderItem()
    : m_statusItem(StatusBar::systemStatusBar().statusItemWithLength(StatusItem::SquareLength))
    , m_menu(std::make_unique<QMenu>())
{
    m_statusItem->setTitle(QString(QChar(0x2327)));
    m_statusItem->setToolTip(localizedApplicationName());

    m_menu->setMinimumWidth(int(m_statusItem->width()));
    QAction* info = m_menu->addAction(tr("%1 (no monitor items active)").arg(localizedApplicationName()));
    info->setEnabled(false);
    m_menu->addSeparator();
    QAction* preferences = m_menu->addAction(tr("Preferences..."));
    connect(preferences, &QAction::triggered, this, &PlaceholderItem::preferencesRequested);
    m_statusItem->setMenu(m_menu.get());
}

// The status item leaves the bar before the menu it shows goes.
PlaceholderItem::~PlaceholderItem()
{
    m_statusItem.reset();
}
