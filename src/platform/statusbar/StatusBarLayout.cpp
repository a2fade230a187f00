#include "platform/statusbar/StatusBarLayout.h"

#include "platform/statusbar/StatusItem.h"

#include <cmath>

std::vector<QRect> StatusBarLayout::frames(const std::vector<StatusItem*>& items, const QRect& bar)
{
    std::vector<QRect> frames;
    frames.reserve(items.size());
    int right = bar.right() + 1 - Spacing;
    for (const StatusItem* item : items) {
        const int width = int(std::ceil(item->width()));
        if (!item->isVisible() || width <= 0) {
            frames.emplace_back();
            continue;
        }
        frames.emplace_back(right - width, bar.top(), width, bar.height());
        right -= width + Spacing;
    }
    return frames;
}
