#pragma once

#include "platform/statusbar/StatusBar.h"

// Items live, render and build menus but show nothing. Buttons are laid out
// as a bar at the top of a virtual screen, right-aligned, so that frames and
// open-menu tracking can be computed.
class OffscreenStatusBar : public StatusBar {
    Q_OBJECT
public:
    explicit OffscreenStatusBar(int screenWidth = 1280, qreal devicePixelRatio = 1.0);

    QRect buttonFrame(const StatusItem& item) const override;
    qreal devicePixelRatio() const override { return m_devicePixelRatio; }

private:
    int m_screenWidth;
    qreal m_devicePixelRatio;
};
