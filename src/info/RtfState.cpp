#include "RtfState.h"

#include <algorithm>
#include <cstdint>

namespace Rtf {

namespace {

constexpr int kMinHalfPoints = 4; // 2 pt: Qt scales super- and subscripts down to whole points
constexpr int kMaxHalfPoints = 3276; // 1638 pt, Word's largest font size
constexpr int kMaxTabStops = 64;

int clampTwips(qint64 value, int low = -kMaxTwips)
{
    return int(std::clamp<qint64>(value, low, kMaxTwips));
}

} // namespace

bool applyFormat(Format &format, const Keyword &keyword, bool hasParam, qint64 param)
{
    CharState &chr = format.chr;
    ParaState &para = format.para;
    // A switch without a number turns on; with 0 it turns off.
    const bool on = !hasParam || param != 0;

    switch (keyword.kind) {
    case Kind::Bold:
        chr.bold = on;
        break;
    case Kind::Italic:
        chr.italic = on;
        break;
    case Kind::Strike:
        chr.strike = on;
        break;
    case Kind::Hidden:
        chr.hidden = on;
        break;
    case Kind::Capitals:
        chr.capitals = on ? Capitals(keyword.value) : Capitals::Mixed;
        break;
    case Kind::Underline:
        chr.underline = on ? Underline(keyword.value) : Underline::None;
        break;
    case Kind::UnderlineNone:
        chr.underline = Underline::None;
        break;
    case Kind::UnderlineColour:
        chr.underlineColour = param >= 0 && param <= INT32_MAX ? int(param) : -1;
        break;
    case Kind::Font:
        if (hasParam && param >= 0 && param <= kMaxFontId)
            chr.font = int(param);
        break;
    case Kind::FontSize:
        if (hasParam && param > 0)
            chr.halfPoints = int(std::clamp<qint64>(param, kMinHalfPoints, kMaxHalfPoints));
        break;
    case Kind::Foreground:
        chr.foreground = param >= 0 && param <= INT32_MAX ? int(param) : -1;
        break;
    case Kind::Background:
        chr.background = param >= 0 && param <= INT32_MAX ? int(param) : -1;
        break;
    case Kind::Superscript:
        chr.vertical = VerticalPosition::Superscript;
        break;
    case Kind::Subscript:
        chr.vertical = VerticalPosition::Subscript;
        break;
    case Kind::NoSuperSub:
        chr.vertical = VerticalPosition::Normal;
        break;
    case Kind::Raise: // \up and \dn without a number move by 3 points
        chr.vertical
            = !hasParam || param > 0 ? VerticalPosition::Superscript : VerticalPosition::Normal;
        break;
    case Kind::Lower:
        chr.vertical
            = !hasParam || param > 0 ? VerticalPosition::Subscript : VerticalPosition::Normal;
        break;
    case Kind::Plain:
        chr = CharState();
        break;

    case Kind::ParagraphDefaults:
        para = ParaState();
        break;
    case Kind::Align:
        para.align = Qt::Alignment(keyword.value);
        break;
    case Kind::LeftIndent:
        para.left = clampTwips(param);
        break;
    case Kind::RightIndent:
        para.right = clampTwips(param);
        break;
    case Kind::FirstIndent:
        para.first = clampTwips(param);
        break;
    case Kind::SpaceBefore:
        para.before = clampTwips(param, 0);
        break;
    case Kind::SpaceAfter:
        para.after = clampTwips(param, 0);
        break;
    case Kind::LineSpacing:
        para.lineSpacing = clampTwips(param);
        break;
    case Kind::LineMultiple:
        para.lineMultiple = on;
        break;
    case Kind::TabKind:
        para.nextTabKind = TabKind(keyword.value);
        break;
    case Kind::TabStop:
        if (para.tabs.size() < kMaxTabStops)
            para.tabs.append({clampTwips(param, 0), para.nextTabKind});
        para.nextTabKind = TabKind::Left;
        break;
    case Kind::InTable:
        para.inTable = on;
        break;
    case Kind::TableLevel:
        para.inTable = param > 0;
        break;
    case Kind::OutlineLevel:
        para.headingLevel = param >= 0 && param < 6 ? int(param) + 1 : 0;
        break;
    case Kind::Direction:
        para.direction = Qt::LayoutDirection(keyword.value);
        break;
    default:
        return false;
    }
    return true;
}

} // namespace Rtf
