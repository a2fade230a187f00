#include "configuration/PreferencesTopic.h"

#include "configuration/SettingControls.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/desktop/LoginItem.h"
#include "settings/NetworkSettingNames.h"
#include "settings/QRNHostUserDefaults.h"
#include "settings/SettingNames.h"
#include "settings/UpdateSettingNames.h"
#include "settings/SettingsKey.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

QString PreferencesTopic::systemSymbolNameOfIcon() const
{
    return QStringLiteral("ellipsis.circle");
}

QString PreferencesTopic::accessibilityDescriptionOfIcon() const
{
    return tr("preferences action icon");
}

QString PreferencesTopic::networkKey(const QString& name)
{
    return SettingsKey::stored(TopicName::Network, name);
}

QWidget* PreferencesTopic::createContentView()
{
    QWidget* page = makeStandardPage();
    QVBoxLayout* layout = pageLayout();
    const UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const auto storedInteger = [&](const QString& key) { return int(defaults.integerForKey(key)); };

    auto* form = new QFormLayout;
    form->addRow(tr("Memory sizes:"),
        SettingControls::makeChoice({tr("KB, MB, GB (1 KB = 1024 bytes)"), tr("KiB, MiB, GiB (1 KiB = 1024 bytes)"),
                                        tr("kB, MB, GB (1 kB = 1000 bytes)")},
            QStringLiteral("memoryDisplayMode"), storedInteger(topicUserDefaultsKeyForKey(SettingName::MemoryDisplayMode)),
            [this](int mode) { setMemoryDisplayMode(mode); }));
    form->addRow(tr("Temperatures:"),
        SettingControls::makeChoice({tr("Celsius (°C)"), tr("Fahrenheit (°F)"), tr("Kelvin (K)")},
            QStringLiteral("temperatureUnit"), storedInteger(topicUserDefaultsKeyForKey(SettingName::TemperatureUnit)),
            [this](int unit) { setTemperatureUnit(unit); }));
    form->addRow(tr("Public address service:"),
        SettingControls::makeChoice({tr("Check-IP web page"), tr("Plain address echo")},
            QStringLiteral("wanProvider"), storedInteger(topicUserDefaultsKeyForKey(SettingName::WANProviderCode)),
            [this](int code) { setWANProviderCode(code); }));
    layout->addLayout(form);

    QCheckBox* wan = SettingControls::makeSwitch(tr("Show the public (WAN) addresses in the network menu"),
        QStringLiteral("publicAddress"), networkKey(NetworkSettingName::ShouldGetWANAddress),
        [this](bool gets) { setShouldGetWANAddress(gets); });
    layout->addWidget(wan);
    auto* interval = new QSpinBox;
    interval->setObjectName(QStringLiteral("publicAddressInterval"));
    interval->setRange(0, 86400);
    interval->setSuffix(tr(" s"));
    interval->setSpecialValueText(tr("only after network changes"));
    interval->setValue(storedInteger(networkKey(NetworkSettingName::WANUpdateInterval)));
    interval->setEnabled(wan->isChecked());
    connect(wan, &QCheckBox::toggled, interval, &QSpinBox::setEnabled);
    connect(interval, &QSpinBox::valueChanged, this, &PreferencesTopic::setWANUpdateInterval);
    auto* intervalForm = new QFormLayout;
    intervalForm->addRow(tr("Ask for the public address every:"), interval);
    layout->addLayout(intervalForm);

    layout->addWidget(SettingControls::makeSwitch(tr("No notice when the window switches between task bar and panel"),
        QStringLiteral("suppressSwitchingNotice"), topicUserDefaultsKeyForKey(SettingName::SuppressSwitchingNotice),
        [this](bool suppresses) { setSuppressesSwitchingNotice(suppresses); }));
    layout->addWidget(SettingControls::makeSwitch(tr("Check for updates once a day"),
        QStringLiteral("automaticUpdateCheck"), UpdateSettingName::AutoUpdateNotification,
        [this](bool checks) { setChecksForUpdatesAutomatically(checks); }));

    m_openAtLoginSwitch = new QCheckBox(tr("Open at login"));
    m_openAtLoginSwitch->setObjectName(QStringLiteral("openAtLoginSwitch"));
    connect(m_openAtLoginSwitch, &QCheckBox::toggled, this, &PreferencesTopic::setOpensAtLogin);
    layout->addWidget(m_openAtLoginSwitch);
    page->installEventFilter(this);
    return page;
}

void PreferencesTopic::setSuppressesSwitchingNotice(bool suppresses)
{
    QRNHostUserDefaults::setBool(suppresses, topicUserDefaultsKeyForKey(SettingName::SuppressSwitchingNotice));
}

void PreferencesTopic::setMemoryDisplayMode(int mode)
{
    QRNHostUserDefaults::setInteger(mode, topicUserDefaultsKeyForKey(SettingName::MemoryDisplayMode));
}

void PreferencesTopic::setTemperatureUnit(int unit)
{
    QRNHostUserDefaults::setInteger(unit, topicUserDefaultsKeyForKey(SettingName::TemperatureUnit));
}

void PreferencesTopic::setWANProviderCode(int code)
{
    QRNHostUserDefaults::setInteger(code, topicUserDefaultsKeyForKey(SettingName::WANProviderCode));
}

void PreferencesTopic::setShouldGetWANAddress(bool gets)
{
    QRNHostUserDefaults::setBool(gets, networkKey(NetworkSettingName::ShouldGetWANAddress));
}

void PreferencesTopic::setWANUpdateInterval(int seconds)
{
    QRNHostUserDefaults::setInteger(std::max(0, seconds), networkKey(NetworkSettingName::WANUpdateInterval));
}

void PreferencesTopic::setChecksForUpdatesAutomatically(bool checks)
{
    QRNHostUserDefaults::setBool(checks, UpdateSettingName::AutoUpdateNotification);
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
