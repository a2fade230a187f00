#include "platform/statusbar/StatusBar.h"

#include "platform/log/Log.h"
#include "platform/statusbar/MenuText.h"
#include "platform/statusbar/OffscreenStatusBar.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QMenu>

#include <algorithm>
#include <utility>

namespace {
std::unique_ptr<StatusBar>& installedBar()
{
    static std::unique_ptr<StatusBar> bar;
    return bar;
}
} // namespace

StatusBar::~StatusBar()
{
    // Items outlive a replaced bar as plain objects.
    for (StatusItem* item : m_items)
        item->m_bar = nullptr;
}

StatusBar& StatusBar::systemStatusBar()
{
    auto& bar = installedBar();
    if (!bar)
        bar = std::make_unique<OffscreenStatusBar>();
    return *bar;
}

void StatusBar::setSystemStatusBar(std::unique_ptr<StatusBar> bar)
{
    installedBar() = std::move(bar);
}

void StatusBar::switchSystemStatusBar(std::unique_ptr<StatusBar> bar)
{
    auto& installed = installedBar();
    std::vector<StatusItem*> items;
    if (installed)
        items = std::exchange(installed->m_items, {});
    for (StatusItem* item : items) {
        if (item->m_menu && item->m_menu->isVisible())
            item->m_menu->hide();
        item->m_bar = bar.get();
    }
    installed = std::move(bar);
    if (!installed)
        return;
    installed->m_items = std::move(items);
    installed->itemsDidChange();
    Q_EMIT installed->itemsChanged();
}

std::unique_ptr<StatusItem> StatusBar::statusItemWithLength(double length)
{
    std::unique_ptr<StatusItem> item(new StatusItem(this, length));
    m_items.push_back(item.get());
    itemsDidChange();
    Q_EMIT itemsChanged();
    return item;
}

void StatusBar::removeStatusItem(StatusItem& item)
{
    if (item.m_bar != this)
        return;
    if (item.m_menu && item.m_menu->isVisible())
        item.m_menu->hide();
    forget(item);
    item.m_bar = nullptr;
    itemsDidChange();
    Q_EMIT itemsChanged();
}

void StatusBar::forget(StatusItem& item)
{
    m_items.erase(std::remove(m_items.begin(), m_items.end(), &item), m_items.end());
}

void StatusBar::itemDidChange(StatusItem&)
{
    itemsDidChange();
    Q_EMIT itemsChanged();
}

void StatusBar::popUpMenu(StatusItem& item)
{
    QMenu* menu = item.menu();
    if (!menu)
        return;
    for (StatusItem* other : m_items) {
        if (other != &item && other->menu() && other->menu() != menu && other->menu()->isVisible())
            other->menu()->hide();
    }
    item.setHighlighted(true);
    connect(menu, &QMenu::aboutToHide, &item, [&item] {
        item.setHighlighted(false);
        Log::debug("%{public}@: closed the menu of '%{public}@'.", {QStringLiteral("StatusBar"), item.autosaveName()});
    }, Qt::SingleShotConnection);
    const QRect frame = buttonFrame(item);
    // The menu opens just under the button, its left edge 3 points left of it.
    menu->popup(QPoint(frame.left() - 3, frame.bottom() + 1));
    if (Log::threshold() == LogLevel::Debug)
        Log::debug("%{public}@: opened the menu of '%{public}@' at %d,%d:\n%@",
            {QStringLiteral("StatusBar"), item.autosaveName(), frame.left() - 3, frame.bottom() + 1, MenuText::of(*menu)});
}

qreal StatusBar::devicePixelRatio() const
{
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return app->devicePixelRatio();
    return 1.0;
}

QPalette StatusBar::palette() const
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QGuiApplication::palette();
    return QPalette();
}

QFont StatusBar::menuBarFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(13);
    return font;
}
