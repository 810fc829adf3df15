#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// Where the help window opens so that it does not hide the main window.
namespace HelpPlacement {

// The space left between the two windows, in pixels.
inline constexpr int kGap = 8;

// The top-left corner of a window of the outer size `outer` placed beside
// the window whose frame is `anchor`, within the screen's work area
// `available`: to the right of it when there is room, else to the left of it;
// when neither side has room, against the screen's edge on the roomier side,
// covering as little of the anchor as it can. Its top is level with the
// anchor's, moved up as far as needed to keep it on the screen.
QPoint besidePosition(const QRect &anchor, const QSize &outer, const QRect &available);

// Where the anchor and the window beside it go when the window does not fit
// beside the anchor where the anchor stands, but the work area is wide
// enough for both side by side: the pair is centred, the window to the right
// of the anchor. Empty when the anchor may stay where it is, or when the two
// cannot stand side by side at all.
struct Pair
{
    QPoint anchor;
    QPoint beside;
};
std::optional<Pair> sideBySide(const QRect &anchor, const QSize &outer, const QRect &available);

} // namespace HelpPlacement
