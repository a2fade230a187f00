#pragma once

#include "platform/statusbar/StatusBar.h"

#include <memory>

class OwnBarWindow;

// Vistrel's own menu bar: a dock window along the top edge of the primary
// screen that shows the status items at their true widths, right-aligned,
// and opens an item's menu under it on a click. Needs an X11 display or a
// Wayland compositor with a layer shell.
class OwnStatusBar : public StatusBar {
    Q_OBJECT
public:
    OwnStatusBar();
    ~OwnStatusBar() override;

    QRect buttonFrame(const StatusItem& item) const override;
    void popUpMenu(StatusItem& item) override;
    qreal devicePixelRatio() const override;
    QPalette palette() const override;

    QWidget* window() const;

protected:
    void itemsDidChange() override;

private:
    std::unique_ptr<OwnBarWindow> m_window;
};
