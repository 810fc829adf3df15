#pragma once

#include <QString>
#include <QtGlobal>

// The four colours of a skin, each 0xRRGGBB.
struct SkinColours
{
    quint32 back = 0;
    quint32 fore = 0;
    quint32 panel = 0;
    quint32 panelText = 0;

    friend bool operator==(const SkinColours &, const SkinColours &) = default;
};

inline constexpr quint32 rgb(int r, int g, int b)
{
    return (quint32(r) << 16) | (quint32(g) << 8) | quint32(b);
}

// The program's one skin.
struct SkinDefinition
{
    QString name;
    QString application;
    SkinColours colours;
};

inline SkinDefinition studioBlue()
{
    return SkinDefinition {
        QStringLiteral("Studio Blue"), QStringLiteral("Standard Skin"),
        SkinColours {rgb(96, 114, 174), rgb(236, 249, 255), rgb(63, 83, 129), rgb(228, 244, 250)}};
}

// How a control of a given kind is coloured from the skin.
enum class SkinRole {
    Untouched, // keeps its own colours
    BackOnly, // background = back colour, text unchanged
    BackAndFore, // background = back colour, text = fore colour
    PanelBackground, // background = panel colour, text unchanged
};

// The rule is keyed by the control kinds' classic type names ("CommandButton",
// "TextBox", "ListView", ...); the comparison is exact.
SkinRole skinRoleFor(QStringView typeName);

// The contrast ratio of two colours as WCAG 2.1 measures it, from 1 to 21.
double contrastRatio(quint32 a, quint32 b);

// `colour` moved the least way toward white (or toward black, when it is
// darker than `against`) that gives it at least `ratio` against `against`:
// the colour itself when it has that already.
quint32 withContrast(quint32 colour, quint32 against, double ratio);

// Whether this is Windows of the NT family, version 6 (Vista) or later.
bool IsNt6OrLater();
