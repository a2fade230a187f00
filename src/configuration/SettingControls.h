#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QCheckBox;
class QComboBox;

// Controls of a page bound to one stored setting: they show the value read
// from the settings when the page is built and hand every change by the user
// to the page's setter, which stores it at once.
namespace SettingControls {

QCheckBox* makeSwitch(const QString& text, const QString& objectName, const QString& key, std::function<void(bool)> setter);
// A pop-up whose entry index is the stored integer; an index outside the
// entries shows the first one.
QComboBox* makeChoice(const QStringList& entries, const QString& objectName, int current, std::function<void(int)> setter);

} // namespace SettingControls
