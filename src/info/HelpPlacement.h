#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

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

} // namespace HelpPlacement
