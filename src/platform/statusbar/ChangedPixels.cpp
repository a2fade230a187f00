#include "platform/statusbar/ChangedPixels.h"

#include <cstring>

namespace ChangedPixels {

QRect between(const QImage& before, const QImage& after)
{
    if (before.isNull() || before.size() != after.size() || before.format() != after.format()
        || before.devicePixelRatio() != after.devicePixelRatio() || after.depth() != 32)
        return after.rect();
    const int width = after.width();
    const auto rowBytes = size_t(width) * 4;
    int top = -1, bottom = -1, left = width, right = -1;
    for (int y = 0; y < after.height(); ++y) {
        const auto* old = reinterpret_cast<const quint32*>(before.constScanLine(y));
        const auto* now = reinterpret_cast<const quint32*>(after.constScanLine(y));
        if (std::memcmp(old, now, rowBytes) == 0)
            continue;
        if (top < 0)
            top = y;
        bottom = y;
        // Only the columns outside those already known to differ need a look.
        int x = 0;
        while (x < left && old[x] == now[x])
            ++x;
        left = std::min(left, x);
        x = width - 1;
        while (x > right && old[x] == now[x])
            --x;
        right = std::max(right, x);
    }
    if (top < 0)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace ChangedPixels
