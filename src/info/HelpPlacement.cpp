#include "HelpPlacement.h"

#include <algorithm>

namespace HelpPlacement {

QPoint besidePosition(const QRect &anchor, const QSize &outer, const QRect &available)
{
    const int rightOf = anchor.right() + 1 + kGap;
    const int leftOf = anchor.left() - kGap - outer.width();
    const int roomRight = available.right() + 1 - rightOf;
    const int roomLeft = leftOf - available.left();

    int x = 0;
    if (roomRight >= outer.width())
        x = rightOf;
    else if (roomLeft >= 0)
        x = leftOf;
    else if (available.right() - anchor.right() >= anchor.left() - available.left())
        x = available.right() + 1 - outer.width();
    else
        x = available.left();
    x = std::max(x, available.left());

    const int lowest = available.bottom() + 1 - outer.height();
    const int y = std::max(std::min(anchor.top(), lowest), available.top());
    return QPoint(x, y);
}

std::optional<Pair> sideBySide(const QRect &anchor, const QSize &outer, const QRect &available)
{
    const bool fitsRight = anchor.right() + 1 + kGap + outer.width() <= available.right() + 1;
    const bool fitsLeft = anchor.left() - kGap - outer.width() >= available.left();
    const int width = anchor.width() + kGap + outer.width();
    if (fitsRight || fitsLeft || width > available.width())
        return std::nullopt;
    const int left = available.left() + (available.width() - width) / 2;
    const int lowest = available.bottom() + 1 - outer.height();
    const int top = std::max(std::min(anchor.top(), lowest), available.top());
    return Pair {QPoint(left, anchor.top()), QPoint(left + anchor.width() + kGap, top)};
}

} // namespace HelpPlacement
