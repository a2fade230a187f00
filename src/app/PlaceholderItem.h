#pragma once

#include <QObject>

#include <memory>

class QMenu;
class StatusItem;

// The status item shown while there is neither a monitor item nor the
// main-menu item, so that the application can always be reached: a square
// button with U+2327 whose menu leads to the configuration window.
class PlaceholderItem : public QObject {
    Q_OBJECT
public:
    PlaceholderItem();
    ~PlaceholderItem() override;

    StatusItem* statusItem() const { return m_statusItem.get(); }
    QMenu* menu() const { return m_menu.get(); }

Q_SIGNALS:
    void preferencesRequested();

private:
    std::unique_ptr<StatusItem> m_statusItem;
    std::unique_ptr<QMenu> m_menu;
};
