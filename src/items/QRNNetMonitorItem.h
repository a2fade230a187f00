#pragma once

#include "items/QRNMonitorItem.h"
#include "platform/notifications/NotificationCenter.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QTimer>

#include <functional>
#include <optional>
#include <tuple>
#include <vector>

class QRNGraphMenuView;
class QRNNetInterfaceInstrument;
class QRNWANIPAddress;
class QAction;

// The throughput of the chosen network interfaces in the bar, and per
// interface in the menu its addresses, a graph, current and peak rates and
// totals; optionally the public addresses. The primary interface (the one of
// the default route) is always shown, first. Interfaces that go away stay
// listed as offline and come back when they reappear.
class QRNNetMonitorItem : public QRNMonitorItem {
    Q_OBJECT
public:
    // How long the item waits, in milliseconds; tests shorten them.
    struct Delays {
        int firstPrimaryCheck = 1000;
        int settle = 4000;
        int notReady = 2000;
        int retry = 1000;
        int wanAfterChange = 10000;
    };

    QRNNetMonitorItem();
    // Tests name the primary interface themselves.
    QRNNetMonitorItem(std::function<QString()> primaryInterface, Delays delays);
    ~QRNNetMonitorItem() override;

    static constexpr char ClassName[] = "QRNNetMonitorItem";
    QString className() const override { return QLatin1String(ClassName); }
    static std::unique_ptr<QRNMonitorItem> create(const QStringList& codes);
    static QStringList defaultCellConfiguration();
    static QStringList settingNames();

    void updateInterfaceMenuBar(bool menuBar, bool menuItems) override;
    void handleChangeOfUserDefault(const SettingsKey& key, const QVariant& value) override;

    // Replaces the configured interfaces; the primary one is added in front
    // when it is not among them.
    void setMonitoredInterfaces(const QStringList& names);
    // True when the interface is monitored afterwards.
    bool addInterfaceWithName(const QString& name, bool atFirstPosition);
    void removeInterfaceWithName(const QString& name);
    QStringList monitoredInterfaceNames() const;
    const QSet<QString>& offlineInterfaceNames() const { return m_offlineInterfaceNames; }

    // The settled reaction to a change of addresses or routes.
    void dynamicSystemConfiguration(const QStringList& changedKeys);
    void handleNetworkConfigurationChange();
    void performCheckForDynamicInternetInstrumentation();
    QString deviceNameOfInternetInterface() const { return m_primaryInterface(); }
    QString internetDeviceName() const { return m_internetDeviceName; }

    void equipmentWasAdded(const QVariantMap& userInfo);
    void equipmentWasRemoved(const QVariantMap& userInfo);
    void retryToAddChangingInterfaceWithNameCountPair(const QString& name, qint64 count);

    bool showsOpposedGraphs() const { return m_showsOpposedGraphs; }
    void setShowsOpposedGraphs(bool shows);
    bool showsLocallyZoomedGraphs() const { return m_showsLocallyZoomedGraphs; }
    void setShowsLocallyZoomedGraphs(bool shows);
    bool showsReadingsAsBits() const { return m_showsReadingsAsBits; }
    void setShowsReadingsAsBits(bool shows);
    bool showsWANAddress() const { return m_wanIPAddress != nullptr; }
    void setShowsWANAddress(bool shows);
    // Seconds; 0 stops the periodic refresh, a negative interval changes nothing.
    void setWANAddressUpdateInterval(double seconds);
    bool hasWANUpdateTimer() const { return m_wanUpdateTimer.isActive(); }
    void updateWANAddress();
    QRNWANIPAddress* wanIPAddress() const { return m_wanIPAddress.get(); }

    QString displayTextForMemoryStatisticsValue(quint64 value, bool usingTabStopForUnitSeparation) const;
    // True when the number of address rows changed (and the menu was rebuilt when asked).
    bool updateAddressLineCountsRebuildingMenuIfNeeded(bool rebuild);
    static QString localizedIPv6AddressModeDescriptionForFlags(quint32 flags);

    // The menu graph of a monitored interface, or none.
    QRNGraphMenuView* graphViewOfInterface(const QString& name) const;
    // The highest byte rates seen since the interface was added.
    std::pair<quint64, quint64> peakRatesOfInterface(const QString& name) const;
    QString toolTipText() const override;

protected:
    void customizeNewMenuBarCell(QRNMenuBarCell& cell) override;
    void createMenuItemsInMenu(StatusMenu& menu) override;

private:
    struct Interface {
        QString name;
        std::shared_ptr<QRNNetInterfaceInstrument> instrument;
        quint64 inBytesMaximum = 0;
        quint64 outBytesMaximum = 0;
        int lineCountIPv4 = 0;
        int lineCountIPv6 = 0;
        // The rows of its menu section; empty while the menu has none.
        QPointer<QRNTextPairView> header;
        std::vector<QPointer<QRNTextPairView>> ipv4Rows;
        std::vector<QPointer<QRNTextPairView>> ipv6Rows;
        QPointer<QRNGraphMenuView> graph;
        std::vector<QPointer<QRNTextPairView>> valueRows;
    };
    int indexOfInterface(const QString& name) const;
    void interfacesChanged();
    void updateMenuRows();
    void updateInterfaceRows(Interface& interface);
    void showInterfaceAsDown(Interface& interface);
    void setToolTip(QRNTextPairView* view, const QString& text);
    QRNTextPairView* addRow(const QString& left, const QString& right, StatusMenu& menu);
    void scheduleRetry(const QString& name, qint64 count);
    QString rateText(quint64 bytes) const;

    std::function<QString()> m_primaryInterface;
    Delays m_delays;
    std::vector<Interface> m_interfaces;
    QSet<QString> m_offlineInterfaceNames;
    QHash<QRNTextPairView*, QAction*> m_menuItemsByTextPairViews;
    int m_lineCountWAN = 0;
    bool m_showsOpposedGraphs = false;
    bool m_showsLocallyZoomedGraphs = false;
    bool m_showsReadingsAsBits = false;
    std::unique_ptr<QRNWANIPAddress> m_wanIPAddress;
    QTimer m_wanUpdateTimer;
    QPointer<QRNTextPairView> m_wanTextPairView;
    QPointer<QRNTextPairView> m_wanTextPairView2;
    QString m_internetDeviceName;
    QString m_dynamicallyAddedDevice;
    QTimer m_networkChangeEventTimer;
    // The orientation each graph cell's own code asks for.
    QHash<const QRNMenuBarCell*, bool> m_cellsOwnOpposition;
    quint32 m_totalIn = 0;
    quint32 m_totalOut = 0;
    // The bar's two lines for the totals they were made for: rates often
    // repeat, and making the texts is most of what a refresh allocates.
    struct BarTexts {
        std::optional<std::tuple<quint32, quint32, bool>> madeFor;
        QString in;
        QString out;
    };
    BarTexts m_barTexts;
    std::vector<NotificationCenter::Token> m_observers;
};
