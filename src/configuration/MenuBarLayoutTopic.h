#pragma once

#include "configuration/ConfigurationTopic.h"

class QCheckBox;
class QSlider;

// Options for every item in the bar: the main-menu icon, decimal places, and
// the widths of history graphs and bar charts. Each is stored under
// "MenuBarLayoutTopic-<name>" and applied by this page as it is written.
class MenuBarLayoutTopic : public ConfigurationTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "MenuBarLayoutTopic";
    // Width factors in percent.
    static constexpr int DefaultScaling = 100;
    static constexpr int MinimumScaling = 50;
    static constexpr int MaximumScaling = 200;

    void init() override;
    QString className() const override { return QLatin1String(ClassName); }
    QString systemSymbolNameOfIcon() const override;
    QString accessibilityDescriptionOfIcon() const override;
    // Applies the stored values to the cell classes and refreshes the palette.
    void completeLaunchSetup() override;

    bool suppressesMainMenuIcon() const { return m_suppressesMainMenuIcon; }
    void setSuppressesMainMenuIcon(bool suppresses);
    bool suppressesDecimalPlaces() const { return m_suppressesDecimalPlaces; }
    void setSuppressesDecimalPlaces(bool suppresses);
    int historyScaling() const { return m_historyScaling; }
    void setHistoryScaling(int percent);
    int graphScaling() const { return m_graphScaling; }
    void setGraphScaling(int percent);
    void setVariableWidthsToDefault();
    void establishMenuBarDefaults();

Q_SIGNALS:
    void suppressesMainMenuIconChanged(bool suppresses);
    // Graph or bar-chart widths changed: every page's cells need redrawing.
    void cellWidthsChanged();

protected:
    QWidget* createContentView() override;
    void configureNewMenuBarCell(QRNMenuBarCell& cell) override;

private:
    QString key(QLatin1String name) const { return topicUserDefaultsKeyForKey(name); }
    QSlider* addScalingSlider(const QString& title, int value, void (MenuBarLayoutTopic::*setter)(int));
    // The controls follow the values without writing them again.
    void showValuesInControls();

    bool m_suppressesMainMenuIcon = false;
    bool m_suppressesDecimalPlaces = false;
    int m_historyScaling = DefaultScaling;
    int m_graphScaling = DefaultScaling;
    QCheckBox* m_mainMenuIconSwitch = nullptr;
    QCheckBox* m_decimalPlacesSwitch = nullptr;
    QSlider* m_historySlider = nullptr;
    QSlider* m_graphSlider = nullptr;
};
