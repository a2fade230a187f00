#pragma once

#include <QRect>

#include <vector>

class StatusItem;

// Places the buttons of a bar: the first item created sits at the right end,
// each later one to the left of the one before, with a small gap. Items that
// are hidden or have nothing to show get an empty frame.
struct StatusBarLayout {
    static constexpr int Spacing = 6;
    static std::vector<QRect> frames(const std::vector<StatusItem*>& items, const QRect& bar);
};
