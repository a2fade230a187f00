#pragma once

#include "configuration/ConfigurationTopic.h"

#include <QPointer>

class QCheckBox;

// The general preferences page. Besides the settings it carries the
// "Open at login" switch, which shows and changes the desktop's autostart
// entry rather than a setting: it reads the entry each time the page is
// shown, so it follows changes made by hand or by the session settings.
class PreferencesTopic : public ConfigurationTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "PreferencesTopic";

    QString className() const override { return QLatin1String(ClassName); }
    QString systemSymbolNameOfIcon() const override;
    QString accessibilityDescriptionOfIcon() const override;

    void setOpensAtLogin(bool open);

protected:
    QWidget* createContentView() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showLoginItemState();

    QPointer<QCheckBox> m_openAtLoginSwitch;
};
