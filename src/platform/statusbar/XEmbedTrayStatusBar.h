#pragma once

#include "platform/statusbar/StatusBar.h"

#include <map>
#include <memory>

class XEmbedTrayIcon;
class QWidget;

// Status items as icons in an XEmbed system tray, for desktops without a
// StatusNotifierWatcher: one widened QSystemTrayIcon per item (see
// XEmbedTrayIcon). Needs an X11 display; icons appear whenever a tray runs.
class XEmbedTrayStatusBar : public StatusBar {
    Q_OBJECT
public:
    // Object name Qt gives the window that docks a tray icon.
    static inline const QString TrayWindowName = QStringLiteral("QSystemTrayIconSys");

    XEmbedTrayStatusBar();
    ~XEmbedTrayStatusBar() override;

    QRect buttonFrame(const StatusItem& item) const override;
    // The icon showing a linked item, or null.
    XEmbedTrayIcon* iconOf(const StatusItem& item) const;

protected:
    void itemsDidChange() override;
    // Application-wide: notices every tray window Qt shows.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void adoptTrayWindow(QWidget* window);

    std::map<const StatusItem*, std::unique_ptr<XEmbedTrayIcon>> m_icons;
    // Set while asking a tray window which icon it belongs to.
    bool m_asking = false;
    XEmbedTrayIcon* m_owner = nullptr;
};
