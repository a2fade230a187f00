#include "configuration/SettingControls.h"

#include "platform/defaults/UserDefaults.h"

#include <QCheckBox>
#include <QComboBox>

namespace SettingControls {

QCheckBox* makeSwitch(const QString& text, const QString& objectName, const QString& key, std::function<void(bool)> setter)
{
    auto* control = new QCheckBox(text);
    control->setObjectName(objectName);
    control->setChecked(UserDefaults::standardUserDefaults().boolForKey(key));
    QObject::connect(control, &QCheckBox::toggled, control, std::move(setter));
    return control;
}

QComboBox* makeChoice(const QStringList& entries, const QString& objectName, int current, std::function<void(int)> setter)
{
    auto* control = new QComboBox;
    control->setObjectName(objectName);
    control->addItems(entries);
    control->setCurrentIndex(current >= 0 && current < entries.size() ? current : 0);
    QObject::connect(control, &QComboBox::currentIndexChanged, control, std::move(setter));
    return control;
}

} // namespace SettingControls
