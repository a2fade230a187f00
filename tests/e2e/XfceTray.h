#pragma once

#include "TrayHost.h"

// xfce4-panel with one panel that holds only the system tray, 70 pixels
// tall along the top of the screen, with its own settings daemon.
class XfceTray : public TrayHost {
public:
    static constexpr int PanelHeight = 70;

    XfceTray();
};
