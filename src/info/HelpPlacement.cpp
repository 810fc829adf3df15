#include "HelpPlacement.h"

#include <algorithm>

namespace HelpPlacement {

Pair arrange(const QSize &anchor, const QSize &beside, const QRect &available)
{
    const int width = anchor.width() + kGap + beside.width();
    const int tallest = std::max(anchor.height(), beside.height());
    const int top = available.top() + std::max(0, (available.height() - tallest) / 2);
    if (width <= available.width()) {
        const int left = available.left() + (available.width() - width) / 2;
        return Pair {QPoint(left, top), QPoint(left + anchor.width() + kGap, top)};
    }
    const int besideLeft = std::max(available.left(), available.right() + 1 - beside.width());
    return Pair {QPoint(available.left(), top), QPoint(besideLeft, top)};
}

} // namespace HelpPlacement
