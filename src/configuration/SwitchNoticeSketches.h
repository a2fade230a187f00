#pragma once

#include <QPalette>
#include <QPixmap>
#include <QString>

// The pictures of the switch notice, drawn in the palette's colours:
// "SwitchFullGUI" shows the screen with the bar, the configuration window and
// its task-bar entry; "SwitchMenuBar" shows the bar alone, its items lit.
namespace SwitchNoticeSketches {

constexpr int Width = 96;
constexpr int Height = 64;

// A null pixmap for any other name.
QPixmap image(const QString& name, const QPalette& palette, qreal devicePixelRatio = 1.0);

} // namespace SwitchNoticeSketches
