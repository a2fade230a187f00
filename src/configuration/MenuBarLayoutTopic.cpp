#include "configuration/MenuBarLayoutTopic.h"

#include "settings/QRNHostUserDefaults.h"
#include "configuration/ExampleCells.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNTemperatureMenuBarCell.h"
#include "platform/defaults/UserDefaults.h"
#include "settings/SettingNames.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

void MenuBarLayoutTopic::init()
{
    ConfigurationTopic::init();
    const UserDefaults& defaults = UserDefaults::standardUserDefaults();
    m_suppressesMainMenuIcon = defaults.boolForKey(key(SettingName::BarSuppressMainMenuIcon));
    m_suppressesDecimalPlaces = defaults.boolForKey(key(SettingName::BarSuppressDecimalPlaces));
    m_historyScaling = int(defaults.integerForKey(key(SettingName::BarHistoryScaling)));
    m_graphScaling = int(defaults.integerForKey(key(SettingName::BarGraphScaling)));
    // Never stored reads as 0: start at the natural widths.
    if (m_historyScaling == 0) {
        m_historyScaling = DefaultScaling;
        QRNHostUserDefaults::setInteger(m_historyScaling, key(SettingName::BarHistoryScaling));
    }
    if (m_graphScaling == 0) {
        m_graphScaling = DefaultScaling;
        QRNHostUserDefaults::setInteger(m_graphScaling, key(SettingName::BarGraphScaling));
    }
    showValuesInControls();
}

void MenuBarLayoutTopic::showValuesInControls()
{
    if (!m_mainMenuIconSwitch)
        return;
    const QSignalBlocker mainMenuIcon(m_mainMenuIconSwitch);
    const QSignalBlocker decimalPlaces(m_decimalPlacesSwitch);
    const QSignalBlocker history(m_historySlider);
    const QSignalBlocker graph(m_graphSlider);
    m_mainMenuIconSwitch->setChecked(m_suppressesMainMenuIcon);
    m_decimalPlacesSwitch->setChecked(m_suppressesDecimalPlaces);
    m_historySlider->setValue(m_historyScaling);
    m_graphSlider->setValue(m_graphScaling);
}

QString MenuBarLayoutTopic::systemSymbolNameOfIcon() const
{
    return QStringLiteral("character.textbox");
}

QString MenuBarLayoutTopic::accessibilityDescriptionOfIcon() const
{
    return tr("text box layout icon");
}

QWidget* MenuBarLayoutTopic::createContentView()
{
    QWidget* page = makeStandardPage();
    m_mainMenuIconSwitch = new QCheckBox(tr("Hide the main-menu icon"));
    m_mainMenuIconSwitch->setObjectName(QStringLiteral("BarSuppressMainMenuIcon"));
    connect(m_mainMenuIconSwitch, &QCheckBox::toggled, this, &MenuBarLayoutTopic::setSuppressesMainMenuIcon);
    pageLayout()->addWidget(m_mainMenuIconSwitch);
    m_decimalPlacesSwitch = new QCheckBox(tr("Show values without decimal places"));
    m_decimalPlacesSwitch->setObjectName(QStringLiteral("BarSuppressDecimalPlaces"));
    connect(m_decimalPlacesSwitch, &QCheckBox::toggled, this, &MenuBarLayoutTopic::setSuppressesDecimalPlaces);
    pageLayout()->addWidget(m_decimalPlacesSwitch);
    m_historySlider = addScalingSlider(tr("Width of history graphs:"), m_historyScaling, &MenuBarLayoutTopic::setHistoryScaling);
    m_historySlider->setObjectName(QStringLiteral("BarHistoryScaling"));
    m_graphSlider = addScalingSlider(tr("Width of bar charts:"), m_graphScaling, &MenuBarLayoutTopic::setGraphScaling);
    m_graphSlider->setObjectName(QStringLiteral("BarGraphScaling"));
    auto* reset = new QPushButton(tr("Default Widths"));
    connect(reset, &QPushButton::clicked, this, &MenuBarLayoutTopic::setVariableWidthsToDefault);
    auto* row = new QHBoxLayout;
    row->addWidget(reset);
    row->addStretch(1);
    pageLayout()->addLayout(row);
    return page;
}

QSlider* MenuBarLayoutTopic::addScalingSlider(const QString& title, int value, void (MenuBarLayoutTopic::*setter)(int))
{
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(MinimumScaling, MaximumScaling);
    slider->setSingleStep(5);
    slider->setPageStep(25);
    slider->setValue(value);
    connect(slider, &QSlider::valueChanged, this, setter);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(title));
    row->addWidget(slider, 1);
    pageLayout()->addLayout(row);
    return slider;
}

void MenuBarLayoutTopic::completeLaunchSetup()
{
    establishMenuBarDefaults();
    refreshAllConfigurationViewCells();
}

void MenuBarLayoutTopic::establishMenuBarDefaults()
{
    QRNNumericMenuBarCell::setSuppressesFractionDigits(m_suppressesDecimalPlaces);
    QRNTemperatureMenuBarCell::setSuppressesFractionDigits(m_suppressesDecimalPlaces);
    QRNGraphMenuBarCell::setWidthScalingFactor(m_historyScaling / 100.0);
    QRNNumericMenuBarCell::setBarChartWidthScalingFactor(m_graphScaling / 100.0);
}

void MenuBarLayoutTopic::setSuppressesMainMenuIcon(bool suppresses)
{
    m_suppressesMainMenuIcon = suppresses;
    QRNHostUserDefaults::setBool(suppresses, key(SettingName::BarSuppressMainMenuIcon));
    showValuesInControls();
    Q_EMIT suppressesMainMenuIconChanged(suppresses);
}

void MenuBarLayoutTopic::setSuppressesDecimalPlaces(bool suppresses)
{
    m_suppressesDecimalPlaces = suppresses;
    QRNHostUserDefaults::setBool(suppresses, key(SettingName::BarSuppressDecimalPlaces));
    QRNNumericMenuBarCell::setSuppressesFractionDigits(suppresses);
    QRNTemperatureMenuBarCell::setSuppressesFractionDigits(suppresses);
    showValuesInControls();
}

void MenuBarLayoutTopic::setHistoryScaling(int percent)
{
    m_historyScaling = percent;
    QRNHostUserDefaults::setInteger(percent, key(SettingName::BarHistoryScaling));
    QRNGraphMenuBarCell::setWidthScalingFactor(percent / 100.0);
    showValuesInControls();
    Q_EMIT cellWidthsChanged();
}

void MenuBarLayoutTopic::setGraphScaling(int percent)
{
    m_graphScaling = percent;
    QRNHostUserDefaults::setInteger(percent, key(SettingName::BarGraphScaling));
    QRNNumericMenuBarCell::setBarChartWidthScalingFactor(percent / 100.0);
    showValuesInControls();
    Q_EMIT cellWidthsChanged();
}

void MenuBarLayoutTopic::setVariableWidthsToDefault()
{
    setHistoryScaling(DefaultScaling);
    setGraphScaling(DefaultScaling);
}

void MenuBarLayoutTopic::configureNewMenuBarCell(QRNMenuBarCell& cell)
{
    ExampleCellTexts texts;
    texts.label = tr("Example:");
    ExampleCells::prepare(cell, texts);
}
