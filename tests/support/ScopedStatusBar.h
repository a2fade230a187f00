#pragma once

#include "platform/statusbar/OffscreenStatusBar.h"
#include "platform/statusbar/StatusBar.h"

#include <memory>

// Installs a status bar as the system's for the life of the object (an
// offscreen one unless given), then removes it again.
class ScopedStatusBar {
public:
    explicit ScopedStatusBar(std::unique_ptr<StatusBar> bar = std::make_unique<OffscreenStatusBar>())
    {
        StatusBar::setSystemStatusBar(std::move(bar));
    }
    ~ScopedStatusBar() { StatusBar::setSystemStatusBar(nullptr); }
    ScopedStatusBar(const ScopedStatusBar&) = delete;
    ScopedStatusBar& operator=(const ScopedStatusBar&) = delete;
};
