#pragma once

#include "platform/statusbar/StatusItem.h"

#include <QFont>
#include <QObject>
#include <QPalette>
#include <QRect>

#include <memory>
#include <vector>

// The system status bar: the one place status items are shown. Back ends
// (Vistrel's own bar, the offscreen bar) decide where and how; everything
// above this layer only talks to StatusBar and StatusItem.
class StatusBar : public QObject {
    Q_OBJECT
public:
    static constexpr double Thickness = 22.0;

    ~StatusBar() override;

    // The bar installed for this process; an offscreen bar until one is set.
    static StatusBar& systemStatusBar();
    static void setSystemStatusBar(std::unique_ptr<StatusBar> bar);
    // Installs the bar and moves every item linked to the bar it replaces
    // into it, in order; open menus close first.
    static void switchSystemStatusBar(std::unique_ptr<StatusBar> bar);

    double thickness() const { return Thickness; }

    // Creates an item linked to this bar; it shows once it has content.
    std::unique_ptr<StatusItem> statusItemWithLength(double length);
    // Unlinks the item; it no longer shows but stays usable by its owner.
    void removeStatusItem(StatusItem& item);
    // Linked items in creation order (the first is drawn rightmost).
    const std::vector<StatusItem*>& statusItems() const { return m_items; }

    // Global screen frame of an item's button, empty when not shown.
    virtual QRect buttonFrame(const StatusItem& item) const = 0;
    // False where frames are only guessed (a tray host does not say where it
    // draws its items): nothing may then be decided by where the pointer is.
    virtual bool knowsButtonFrames() const { return true; }
    // Opens the item's menu under its button, closing any other item's open
    // menu first: one menu at a time, even where no pointer grab ensures it.
    virtual void popUpMenu(StatusItem& item);
    virtual qreal devicePixelRatio() const;
    virtual QPalette palette() const;

    // The font for texts drawn into status-item images and button titles.
    static QFont menuBarFont();

Q_SIGNALS:
    // The set, order or look of the items changed.
    void itemsChanged();

protected:
    StatusBar() = default;
    virtual void itemsDidChange() {}

private:
    friend class StatusItem;
    void itemDidChange(StatusItem& item);
    void forget(StatusItem& item);

    std::vector<StatusItem*> m_items;
};
