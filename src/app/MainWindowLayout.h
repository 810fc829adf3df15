#pragma once

#include <QSizeF>

#include <cmath>

// The main window's geometry rules, in twips.
namespace MainWindowLayout {

inline constexpr double kListLeft = 60;
inline constexpr double kListTop = 1980;
inline constexpr double kClientWidth = 9015;
inline constexpr double kClientHeight = 6555;
inline constexpr double kStatusBarHeight = 315;

// The list's size after the window was resized to the given outer size
// (frame, caption and menu bar included). The absolute values keep a very
// small window from giving the list a negative size.
inline QSizeF listSizeFor(double outerWidth, double outerHeight, double listLeft, double listTop)
{
    return QSizeF(std::abs(outerWidth - 2 * listLeft - 500),
                  std::abs(outerHeight - listTop - 1000));
}

} // namespace MainWindowLayout
