#include "SkinColours.h"

#include <QOperatingSystemVersion>

#include <algorithm>
#include <cmath>

namespace {

double luminance(quint32 colour)
{
    const auto channel = [](quint32 value) {
        const double c = double(value & 0xFF) / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour >> 16) + 0.7152 * channel(colour >> 8)
        + 0.0722 * channel(colour);
}

quint32 mixed(quint32 from, quint32 to, int step, int steps)
{
    quint32 result = 0;
    for (int shift : {16, 8, 0}) {
        const int a = int((from >> shift) & 0xFF);
        const int b = int((to >> shift) & 0xFF);
        result |= quint32(a + (b - a) * step / steps) << shift;
    }
    return result;
}

} // namespace

double contrastRatio(quint32 a, quint32 b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

quint32 withContrast(quint32 colour, quint32 against, double ratio)
{
    const quint32 goal = luminance(colour) >= luminance(against) ? 0xFFFFFF : 0;
    constexpr int kSteps = 255;
    for (int step = 0; step < kSteps; ++step) {
        const quint32 candidate = mixed(colour, goal, step, kSteps);
        if (contrastRatio(candidate, against) >= ratio)
            return candidate;
    }
    return goal;
}

SkinRole skinRoleFor(QStringView typeName)
{
    if (typeName == u"CommandButton")
        return SkinRole::BackOnly;
    static constexpr QStringView kTextLike[]
        = {u"TextBox",      u"ComboBox", u"FileListBox", u"DirListBox",
           u"DriveListBox", u"ListBox",  u"ListView"};
    for (QStringView name : kTextLike) {
        if (typeName == name)
            return SkinRole::BackAndFore;
    }
    if (typeName == u"PictureBox")
        return SkinRole::PanelBackground;
    return SkinRole::Untouched;
}

bool IsNt6OrLater()
{
    // Only ever true on Windows Vista and later; every other system is not
    // of the NT family.
    static const QOperatingSystemVersion vista(QOperatingSystemVersion::Windows, 6, 0);
    return QOperatingSystemVersion::current() >= vista;
}
