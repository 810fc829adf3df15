#pragma once

#include <QSizeF>

#include <algorithm>
#include <array>
#include <cmath>

// The main window's geometry rules, in twips unless a name says pixels.
namespace MainWindowLayout {

inline constexpr double kListLeft = 60;
inline constexpr double kListTop = 1980;
inline constexpr double kClientWidth = 9015;
inline constexpr double kClientHeight = 6555;
inline constexpr double kStatusBarHeight = 315;
// The right edge of both button rows.
inline constexpr double kButtonsRight = 8955;

// The list's size in a client area of the given size (the space between the
// menu bar and the status bar): it keeps its left and top, leaves the same
// margin on the right as on the left, and reaches down to the status bar.
// A client area smaller than that gives a list of no size, never a negative
// one.
inline QSizeF listSizeFor(QSizeF client, double listLeft, double listTop)
{
    return QSizeF(std::max(0.0, client.width() - 2 * listLeft),
                  std::max(0.0, client.height() - listTop));
}

// The three columns' widths in pixels so that together they fill `available`
// pixels exactly, in the proportions of the designed widths. The last column
// takes what rounding leaves.
inline std::array<int, 3> columnWidthsFor(const std::array<double, 3> &designed, int available)
{
    const double total = designed[0] + designed[1] + designed[2];
    std::array<int, 3> widths {};
    if (total <= 0 || available <= 0)
        return widths;
    widths[0] = int(std::lround(available * designed[0] / total));
    widths[1] = int(std::lround(available * designed[1] / total));
    widths[2] = available - widths[0] - widths[1];
    return widths;
}

} // namespace MainWindowLayout
