#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

struct MonitorItemClass;
class QCheckBox;
class QLabel;
class QRNMenuBarCell;
class QRNMenuBarSimulatorView;
class QVBoxLayout;
class QWidget;

// A page of the configuration window, or a group of pages. A page that
// controls a monitor item binds two strips: the palette with every cell the
// item can show and the item's own strip, whose cell codes it stores at once
// under "<class>-MenuBarConfiguration", where the controller's routing hands
// them to the live item.
class ConfigurationTopic : public QObject {
    Q_OBJECT
public:
    using List = std::vector<std::unique_ptr<ConfigurationTopic>>;
    // Child positions from the top level down to one topic.
    using IndexPath = QList<int>;

    static constexpr char ClassName[] = "ConfigurationTopic";

    ConfigurationTopic();
    ~ConfigurationTopic() override;

    // Builds the tree from a description: an array of dictionaries, each a
    // group ("Items") or a page ("Class"), with "Title", "OverrideSymbol" and
    // "OverrideAccessibility". None for no array; a malformed entry or an
    // unknown class is logged and leaves its level without topics.
    static std::optional<List> topicHierarchyForConfigurationDescription(const QVariant& description);

    // Topic start, run once right after creation: reads the settings and the
    // cell lists, fills the strips and builds the page. Subclasses call the
    // base first.
    virtual void init();
    virtual QString className() const { return QLatin1String(ClassName); }

    QString displayTitle() const { return m_displayTitle; }
    // Also the heading of the page.
    void setDisplayTitle(const QString& title);
    const List& children() const { return m_children; }
    bool isLeafNode() const { return m_children.empty(); }
    // The page; null for a topic without one (a group).
    QWidget* contentView() const;
    QRNMenuBarSimulatorView* menuBarSimulatorView() const;
    QRNMenuBarSimulatorView* menuBarSourceView() const;
    QString overrideSymbolName() const { return m_overrideSymbolName; }
    QString overrideAccessibility() const { return m_overrideAccessibility; }
    const QStringList& menuBarDefaultCellCodes() const { return m_menuBarDefaultCellCodes; }
    const QStringList& menuBarAvailableCellCodes() const { return m_menuBarAvailableCellCodes; }
    // The strip's codes as last read or stored.
    const QStringList& menuBarCellCodes() const { return m_menuBarCellCodes; }

    // The monitor-item class of this page, or null for a page of no item.
    const MonitorItemClass* monitorItemClass() const;

    virtual QString systemSymbolNameOfIcon() const;
    virtual QString accessibilityDescriptionOfIcon() const;
    QIcon iconForSourceList() const;

    // Hook of the very first start; the base does nothing.
    virtual void setupInitialDefaultSetOfMonitoredItems();
    // End of launch; the base refreshes both strips.
    virtual void completeLaunchSetup();

    bool isFeatureActive() const { return m_isFeatureActive; }
    // Stores the strip's codes first and then the flag, so that the
    // controller already finds the cells when the flag creates the item.
    void setIsFeatureActive(bool active);
    // "<class>-<key>"; empty for an empty key.
    QString topicUserDefaultsKeyForKey(const QString& key) const;
    // This topic's list of that name in "MenuBarCellConfigurations"; none when
    // the resource, the entry or the list is missing, or the key is empty.
    std::optional<QStringList> preconfiguredCellCodesForKey(const QString& key) const;
    // Replaces the view's cells by those of the codes, with the tooltips at
    // the same positions; a null view or an empty list changes nothing.
    void configureMenuBarSimulator(QRNMenuBarSimulatorView* view, const QStringList& codes, const QStringList& toolTipStrings);
    // Acts only on a change of this topic's own item strip.
    void handleChangeInMenuBarConfiguration(QRNMenuBarSimulatorView* view);
    void updateUserDefaultsForMenuBarConfiguration();
    void setMenuBarCellsToDefault();
    void refreshAllConfigurationViewCells();

Q_SIGNALS:
    void isFeatureActiveChanged(bool active);

protected:
    // Prepares a new cell of either strip; the base does nothing.
    virtual void configureNewMenuBarCell(QRNMenuBarCell& cell);
    // The page of a subclass; the base (a group) has none.
    virtual QWidget* createContentView();
    // The common page: title and icon; for a monitor item's page its switch;
    // the strips the topic has, with a button restoring the default cells.
    // Subclasses append to pageLayout().
    QWidget* makeStandardPage();
    QVBoxLayout* pageLayout() const { return m_pageLayout; }

private:
    void adoptChildren(List children);
    void applyDescription(const QVariantMap& entry);

    QString m_displayTitle;
    List m_children;
    bool m_isFeatureActive = false;
    QPointer<QWidget> m_contentView;
    QPointer<QRNMenuBarSimulatorView> m_menuBarSimulatorView;
    QPointer<QRNMenuBarSimulatorView> m_menuBarSourceView;
    QPointer<QCheckBox> m_featureSwitch;
    QPointer<QLabel> m_headingLabel;
    QVBoxLayout* m_pageLayout = nullptr;
    QString m_overrideSymbolName;
    QString m_overrideAccessibility;
    QStringList m_menuBarDefaultCellCodes;
    QStringList m_menuBarAvailableCellCodes;
    QStringList m_menuBarCellCodes;
};
