#pragma once

#include "settings/SettingsKey.h"

#include <QObject>
#include <QStringList>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

class StatusMenu;
class QRNGraphMenuView;
class QRNMenuBarCell;
class QRNMenuBarItemImage;
class QRNSystemInstrument;
class QRNTextPairView;
class StatusItem;

// Base of every monitor item: one status item in the bar, its menu, and the
// instruments it reads. The controller groups items by their refresh interval,
// samples their instruments and then asks each to update its interface.
class QRNMonitorItem : public QObject {
    Q_OBJECT
public:
    using Instruments = std::vector<std::shared_ptr<QRNSystemInstrument>>;

    ~QRNMonitorItem() override;

    // Makes an item of the class from its cell codes; none for an empty list.
    template <typename Item>
    static std::unique_ptr<Item> createWithCellConfiguration(const QStringList& codes)
    {
        auto item = std::make_unique<Item>();
        if (!item->initWithCellConfiguration(codes))
            return nullptr;
        return item;
    }

    // Creates the status item, its image with the cells and its menu.
    virtual bool initWithCellConfiguration(const QStringList& codes);
    // Replaces the cells with those of the codes; codes that make no cell are
    // skipped, and when no cell is left the fallback cell shows, so the item
    // never vanishes from the bar.
    virtual void createNewMenuBarCellsWithConfigurationCodes(const QStringList& codes);
    // A single U+2042 text cell.
    static std::unique_ptr<QRNMenuBarCell> fallbackCell();
    QRNMenuBarItemImage* menuBarImage() const { return m_image.get(); }

    // The name the item is known by in settings and the class table.
    virtual QString className() const = 0;

    bool hasChangedInstruments() const { return m_hasChangedInstruments; }
    void setHasChangedInstruments(bool changed) { m_hasChangedInstruments = changed; }
    const Instruments& monitorInstruments() const { return m_monitorInstruments; }

    // Sent once per tick after sampling.
    void updateInterface() { updateInterfaceMenuBar(true, true); }
    // Pushes the latest values into the cells (first flag) and, while the menu
    // is open, into the menu's rows (second flag).
    virtual void updateInterfaceMenuBar(bool menuBar, bool menuItems);

    // Takes the status item out of the bar; the item keeps it.
    void unlinkFromMenu();
    StatusItem* statusItem() const { return m_statusItem.get(); }
    bool isMenuVisible() const { return m_isMenuVisible; }

    // A setting of the item's topic changed; the base takes the cells and
    // reports every other name.
    virtual void handleChangeOfUserDefault(const SettingsKey& key, const QVariant& value);

    // Empties the menu and fills it again (its structure changed).
    void rebuildMenu();
    // Widens the menu to its widest text-pair row through one invisible
    // width-keeping row; nothing happens when the width is already right.
    void updateMenuWidthForTextPairViewsIfNeeded();
    // Appends a label/value row, 17 points high with offsets of 20 points;
    // none without a menu.
    QRNTextPairView* addTextPairView(const QString& left, const QString& right, StatusMenu* menu);

    // A bold heading row in the text colour.
    QRNTextPairView* addHeadingView(const QString& text, StatusMenu& menu);
    // A history graph the width of the menu: 40 points high, offsets of 20
    // points, 30 values.
    QRNGraphMenuView* addGraphView(StatusMenu& menu);
    // A boolean setting arrives as a boolean or a number.
    static bool isBooleanValue(const QVariant& value);
    // A disk identification without its " (<serial>)" ending.
    static QString equipmentIdentificationWithoutSerialNumberSuffixFor(const QString& identification);

    // Marks the width-keeping row of a menu.
    static constexpr int WidthKeepingTag = 12345;
    // The "Preferences..." command: the configuration window at this item's page.
    void openUserInterfaceForPreferenceSettings();

Q_SIGNALS:
    // The item's menu opened or closed; open-menu tracking follows it.
    void menuOpened(QRNMonitorItem* item);
    void menuClosed(QRNMonitorItem* item);
    void preferencesRequested(QRNMonitorItem* item);
    void diagnosticsRequested();
    // The user took the item out of the bar.
    void removalRequested(QRNMonitorItem* item);

protected:
    QRNMonitorItem();

    // Used and free amounts into the two-line texts, the fraction into the
    // numeric cells (and the graphs, when they follow it); then a redraw.
    void pushUsedAndFreeIntoCells(quint64 used, quint64 free, double fraction, bool graphsFollow);

    // Called for each new cell before it joins the image.
    virtual void customizeNewMenuBarCell(QRNMenuBarCell& cell);

    // Change the instrument list and mark it as changed.
    void addMonitorInstrument(std::shared_ptr<QRNSystemInstrument> instrument);
    void setMonitorInstruments(Instruments instruments);
    // Takes ownership of the status item and follows its visibility and menu.
    void adoptStatusItem(std::unique_ptr<StatusItem> statusItem);
    // Creates the menu, at least as wide as the button, fills it with
    // createMenuItemsInMenu and attaches it to the status item.
    void buildMenu();
    StatusMenu* menu() const { return m_menu.get(); }
    // Appends the item's rows; overrides add their own rows first and then
    // call the base, which ends every menu with the common commands.
    virtual void createMenuItemsInMenu(StatusMenu& menu);

    // The item's name and its main value, for trays; empty for none.
    virtual QString toolTipText() const { return {}; }
    virtual void menuWillOpen();
    virtual void menuDidClose();

private:
    void statusItemVisibilityChanged(bool visible);

    bool m_hasChangedInstruments = false;
    bool m_isMenuVisible = false;
    Instruments m_monitorInstruments;
    std::unique_ptr<StatusMenu> m_menu;
    std::unique_ptr<StatusItem> m_statusItem;
    std::unique_ptr<QRNMenuBarItemImage> m_image;
};
