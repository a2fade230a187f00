#pragma once

#include "TrayHost.h"

// lxqt-panel as a user gets it, reduced to its status-notifier plugin: one
// panel 32 pixels tall along the top of the screen, items drawn as buttons
// with 22-pixel icons.
class LxqtPanel : public TrayHost {
public:
    static constexpr int PanelHeight = 32;

    // The panel starts at once, or only with start().
    explicit LxqtPanel(bool startNow = true);
    void start();
};
