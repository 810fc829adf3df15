#include "RtfKeywords.h"

#include <qnamespace.h>

#include <unordered_map>

namespace Rtf {

namespace {

constexpr size_t kMaxKeywordLength = 32;

const std::unordered_map<std::string_view, Keyword> &keywords()
{
    static const std::unordered_map<std::string_view, Keyword> table = [] {
        static const Keyword list[] = {
            // Destinations that hold nothing to show.
            {"aftncn", Kind::SkipDestination},
            {"aftnsep", Kind::SkipDestination},
            {"aftnsepc", Kind::SkipDestination},
            {"annotation", Kind::SkipDestination},
            {"atnauthor", Kind::SkipDestination},
            {"atndate", Kind::SkipDestination},
            {"atnicn", Kind::SkipDestination},
            {"atnid", Kind::SkipDestination},
            {"atnparent", Kind::SkipDestination},
            {"atnref", Kind::SkipDestination},
            {"atntime", Kind::SkipDestination},
            {"atrfend", Kind::SkipDestination},
            {"atrfstart", Kind::SkipDestination},
            {"author", Kind::SkipDestination},
            {"background", Kind::SkipDestination},
            {"bkmkend", Kind::SkipDestination},
            {"bkmkstart", Kind::SkipDestination},
            {"buptim", Kind::SkipDestination},
            {"colorschememapping", Kind::SkipDestination},
            {"comment", Kind::SkipDestination},
            {"company", Kind::SkipDestination},
            {"creatim", Kind::SkipDestination},
            {"datastore", Kind::SkipDestination},
            {"doccomm", Kind::SkipDestination},
            {"docvar", Kind::SkipDestination},
            {"do", Kind::SkipDestination},
            {"falt", Kind::SkipDestination},
            {"filetbl", Kind::SkipDestination},
            {"fontemb", Kind::SkipDestination},
            {"fontfile", Kind::SkipDestination},
            {"footer", Kind::SkipDestination},
            {"footerf", Kind::SkipDestination},
            {"footerl", Kind::SkipDestination},
            {"footerr", Kind::SkipDestination},
            {"footnote", Kind::SkipDestination},
            {"ftncn", Kind::SkipDestination},
            {"ftnsep", Kind::SkipDestination},
            {"ftnsepc", Kind::SkipDestination},
            {"generator", Kind::SkipDestination},
            {"header", Kind::SkipDestination},
            {"headerf", Kind::SkipDestination},
            {"headerl", Kind::SkipDestination},
            {"headerr", Kind::SkipDestination},
            {"hlinkbase", Kind::SkipDestination},
            {"info", Kind::SkipDestination},
            {"keywords", Kind::SkipDestination},
            {"latentstyles", Kind::SkipDestination},
            {"listoverridetable", Kind::SkipDestination},
            {"listpicture", Kind::SkipDestination},
            {"listtable", Kind::SkipDestination},
            {"mmath", Kind::SkipDestination},
            {"mmathPr", Kind::SkipDestination},
            {"nonshppict", Kind::SkipDestination},
            {"object", Kind::SkipDestination},
            {"objdata", Kind::SkipDestination},
            {"operator", Kind::SkipDestination},
            {"panose", Kind::SkipDestination},
            {"pgdsctbl", Kind::SkipDestination},
            {"pict", Kind::SkipDestination},
            {"pn", Kind::SkipDestination},
            {"pnseclvl", Kind::SkipDestination},
            {"pntxta", Kind::SkipDestination},
            {"pntxtb", Kind::SkipDestination},
            {"printim", Kind::SkipDestination},
            {"private", Kind::SkipDestination},
            {"revtbl", Kind::SkipDestination},
            {"revtim", Kind::SkipDestination},
            {"rsidtbl", Kind::SkipDestination},
            {"rxe", Kind::SkipDestination},
            {"shp", Kind::SkipDestination},
            {"shpinst", Kind::SkipDestination},
            {"shppict", Kind::SkipDestination},
            {"stylesheet", Kind::SkipDestination},
            {"subject", Kind::SkipDestination},
            {"tc", Kind::SkipDestination},
            {"tcn", Kind::SkipDestination},
            {"template", Kind::SkipDestination},
            {"themedata", Kind::SkipDestination},
            {"title", Kind::SkipDestination},
            {"txe", Kind::SkipDestination},
            {"userprops", Kind::SkipDestination},
            {"xe", Kind::SkipDestination},
            {"xmlnstbl", Kind::SkipDestination},

            {"fonttbl", Kind::FontTable},
            {"colortbl", Kind::ColorTable},
            {"field", Kind::Field},
            {"fldinst", Kind::FieldInstruction},
            {"fldrslt", Kind::FieldResult},
            {"listtext", Kind::ListMarker},
            {"pntext", Kind::ListMarker},
            {"nesttableprops", Kind::NestedTableProperties},
            {"bin", Kind::Binary},

            // Characters.
            {"tab", Kind::Character, '\t'},
            {"line", Kind::Character, 0x2028},
            {"emdash", Kind::Character, 0x2014},
            {"endash", Kind::Character, 0x2013},
            {"emspace", Kind::Character, 0x2003},
            {"enspace", Kind::Character, 0x2002},
            {"qmspace", Kind::Character, 0x2005},
            {"bullet", Kind::Character, 0x2022},
            {"lquote", Kind::Character, 0x2018},
            {"rquote", Kind::Character, 0x2019},
            {"ldblquote", Kind::Character, 0x201C},
            {"rdblquote", Kind::Character, 0x201D},
            {"zwj", Kind::Character, 0x200D},
            {"zwnj", Kind::Character, 0x200C},
            {"zwbo", Kind::Character, 0x200B},
            {"ltrmark", Kind::Character, 0x200E},
            {"rtlmark", Kind::Character, 0x200F},
            // Nested table cells are shown flat inside the outer cell.
            {"nestcell", Kind::Character, '\t'},
            {"nestrow", Kind::Character, 0x2028},

            {"par", Kind::Paragraph},
            {"page", Kind::Paragraph},
            {"sect", Kind::Paragraph},
            {"column", Kind::Paragraph},
            {"cell", Kind::Cell},
            {"row", Kind::Row},
            {"trowd", Kind::RowDefaults},
            {"cellx", Kind::CellEdge},

            // Character formatting.
            {"b", Kind::Bold},
            {"i", Kind::Italic},
            {"strike", Kind::Strike},
            {"striked", Kind::Strike},
            {"v", Kind::Hidden},
            {"caps", Kind::Capitals, int(Capitals::All)},
            {"scaps", Kind::Capitals, int(Capitals::Small)},
            {"ul", Kind::Underline, int(Underline::Single)},
            {"uldb", Kind::Underline, int(Underline::Single)},
            {"ulw", Kind::Underline, int(Underline::Single)},
            {"ulth", Kind::Underline, int(Underline::Single)},
            {"ulhair", Kind::Underline, int(Underline::Single)},
            {"uld", Kind::Underline, int(Underline::Dotted)},
            {"ulthd", Kind::Underline, int(Underline::Dotted)},
            {"uldash", Kind::Underline, int(Underline::Dashed)},
            {"ulldash", Kind::Underline, int(Underline::Dashed)},
            {"ulthdash", Kind::Underline, int(Underline::Dashed)},
            {"ulthldash", Kind::Underline, int(Underline::Dashed)},
            {"uldashd", Kind::Underline, int(Underline::DashDot)},
            {"ulthdashd", Kind::Underline, int(Underline::DashDot)},
            {"uldashdd", Kind::Underline, int(Underline::DashDotDot)},
            {"ulthdashdd", Kind::Underline, int(Underline::DashDotDot)},
            {"ulwave", Kind::Underline, int(Underline::Wave)},
            {"ulhwave", Kind::Underline, int(Underline::Wave)},
            {"ululdbwave", Kind::Underline, int(Underline::Wave)},
            {"ulnone", Kind::UnderlineNone},
            {"ulc", Kind::UnderlineColour},
            {"f", Kind::Font},
            {"fs", Kind::FontSize},
            {"cf", Kind::Foreground},
            {"cb", Kind::Background},
            {"highlight", Kind::Background},
            {"chcbpat", Kind::Background},
            {"super", Kind::Superscript},
            {"sub", Kind::Subscript},
            {"nosupersub", Kind::NoSuperSub},
            {"up", Kind::Raise},
            {"dn", Kind::Lower},
            {"plain", Kind::Plain},
            {"uc", Kind::UnicodeSkip},
            {"u", Kind::Unicode},

            // Paragraph formatting.
            {"pard", Kind::ParagraphDefaults},
            {"ql", Kind::Align, int(Qt::AlignLeft)},
            {"qr", Kind::Align, int(Qt::AlignRight)},
            {"qc", Kind::Align, int(Qt::AlignHCenter)},
            {"qj", Kind::Align, int(Qt::AlignJustify)},
            {"qd", Kind::Align, int(Qt::AlignJustify)},
            {"li", Kind::LeftIndent},
            {"ri", Kind::RightIndent},
            {"fi", Kind::FirstIndent},
            {"sb", Kind::SpaceBefore},
            {"sa", Kind::SpaceAfter},
            {"sl", Kind::LineSpacing},
            {"slmult", Kind::LineMultiple},
            {"tx", Kind::TabStop},
            {"tqr", Kind::TabKind, int(TabKind::Right)},
            {"tqc", Kind::TabKind, int(TabKind::Centre)},
            {"tqdec", Kind::TabKind, int(TabKind::Decimal)},
            {"intbl", Kind::InTable},
            {"itap", Kind::TableLevel},
            {"outlinelevel", Kind::OutlineLevel},
            {"rtlpar", Kind::Direction, int(Qt::RightToLeft)},
            {"ltrpar", Kind::Direction, int(Qt::LeftToRight)},

            // Document and tables.
            {"deff", Kind::DefaultFont},
            {"deftab", Kind::DefaultTab},
            {"fcharset", Kind::FontCharset},
            {"fnil", Kind::FontFamily, int(FontFamily::Any)},
            {"froman", Kind::FontFamily, int(FontFamily::Roman)},
            {"fswiss", Kind::FontFamily, int(FontFamily::Swiss)},
            {"fmodern", Kind::FontFamily, int(FontFamily::Modern)},
            {"fscript", Kind::FontFamily, int(FontFamily::Script)},
            {"fdecor", Kind::FontFamily, int(FontFamily::Decorative)},
            {"ftech", Kind::FontFamily, int(FontFamily::Any)},
            {"fbidi", Kind::FontFamily, int(FontFamily::Any)},
            {"fprq", Kind::FontPitch},
            {"red", Kind::Red},
            {"green", Kind::Green},
            {"blue", Kind::Blue},
        };
        std::unordered_map<std::string_view, Keyword> map;
        for (const Keyword &k : list)
            map.emplace(k.name, k);
        return map;
    }();
    return table;
}

} // namespace

const Keyword *findKeyword(std::string_view name)
{
    if (name.size() > kMaxKeywordLength)
        return nullptr;
    const auto &table = keywords();
    const auto it = table.find(name);
    return it == table.end() ? nullptr : &it->second;
}

bool isDestination(Kind kind)
{
    switch (kind) {
    case Kind::SkipDestination:
    case Kind::FontTable:
    case Kind::ColorTable:
    case Kind::Field:
    case Kind::FieldInstruction:
    case Kind::FieldResult:
    case Kind::ListMarker:
    case Kind::NestedTableProperties:
        return true;
    default:
        return false;
    }
}

} // namespace Rtf
