#pragma once

#include <QRect>
#include <QtMath>

// Window geometry is designed in twips: 1440 to the inch, 15 to a logical
// pixel. Every conversion goes through here.
namespace Twips {

inline constexpr int kPerPixel = 15;

inline int toPixels(double twips)
{
    return qRound(twips / kPerPixel);
}

inline double fromPixels(int pixels)
{
    return double(pixels) * kPerPixel;
}

inline QRect rect(double left, double top, double width, double height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

inline QSize size(double width, double height)
{
    return QSize(toPixels(width), toPixels(height));
}

} // namespace Twips
