#pragma once

#include "configuration/ConfigurationTopic.h"

#include <QPointer>

class QCheckBox;

// The general preferences page: units, the public-address service, the
// notice on switching presentation, the update check. Every change is stored
// at once; the controller applies it to the class-wide displays or hands it
// on to the network item.
//
// Besides the settings it carries the "Open at login" switch, which shows
// and changes the desktop's autostart entry rather than a setting: it reads
// the entry each time the page is shown, so it follows changes made by hand
// or by the session settings.
class PreferencesTopic : public ConfigurationTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "PreferencesTopic";

    QString className() const override { return QLatin1String(ClassName); }
    QString systemSymbolNameOfIcon() const override;
    QString accessibilityDescriptionOfIcon() const override;

    void setOpensAtLogin(bool open);
    void setSuppressesSwitchingNotice(bool suppresses);
    // 0 binary with KB, MB …; 1 binary with KiB, MiB …; 2 decimal.
    void setMemoryDisplayMode(int mode);
    // 0 Celsius, 1 Fahrenheit, 2 Kelvin.
    void setTemperatureUnit(int unit);
    // 0 a check-IP web page, 1 a plain echo service.
    void setWANProviderCode(int code);
    // The network item's public-address display.
    void setShouldGetWANAddress(bool gets);
    void setWANUpdateInterval(int seconds);
    void setChecksForUpdatesAutomatically(bool checks);

protected:
    QWidget* createContentView() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showLoginItemState();
    static QString networkKey(const QString& name);

    QPointer<QCheckBox> m_openAtLoginSwitch;
};
