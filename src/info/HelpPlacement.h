#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the main window and the help window stand while both are open, so
// that the help window hides as little of the main window as the screen
// allows, and the same way at every opening.
namespace HelpPlacement {

// The space left between the two windows, in pixels.
inline constexpr int kGap = 8;

struct Pair
{
    QPoint anchor;
    QPoint beside;
};

// The top-left corners of the main window (outer size `anchor`) and the help
// window (outer size `beside`) in the screen's work area `available`. When
// the width allows both side by side with the gap between them, the pair is
// centred, the main window on the left; otherwise the main window stands
// against the left edge and the help window against the right one, so that
// they overlap as little as the width allows. Both have one top, at which
// the taller of them is centred in the height (at the top of the area when
// it is taller than that).
Pair arrange(const QSize &anchor, const QSize &beside, const QRect &available);

} // namespace HelpPlacement
