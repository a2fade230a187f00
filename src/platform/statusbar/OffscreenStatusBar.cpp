#include "platform/statusbar/OffscreenStatusBar.h"

#include "platform/statusbar/StatusBarLayout.h"

#include <algorithm>

OffscreenStatusBar::OffscreenStatusBar(int screenWidth, qreal devicePixelRatio)
    : m_screenWidth(screenWidth)
    , m_devicePixelRatio(devicePixelRatio)
{
}

QRect OffscreenStatusBar::buttonFrame(const StatusItem& item) const
{
    const auto& items = statusItems();
    const auto it = std::find(items.begin(), items.end(), &item);
    if (it == items.end())
        return {};
    const auto frames = StatusBarLayout::frames(items, QRect(0, 0, m_screenWidth, int(Thickness)));
    return frames[size_t(it - items.begin())];
}
