#include "RtfReader.h"

#include <QColor>
#include <QCoreApplication>
#include <QFile>
#include <QFont>
#include <QHash>
#include <QList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <QTextTable>
#include <QTextTableFormat>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// Bounds on what a document may ask for. RTF puts no limit on numbers, so
// absurd ones are clamped or ignored rather than handed to the layout.
constexpr int kMaxTwips = 31680; // 22 inches, the largest measure Word accepts
constexpr int kMinHalfPoints = 4; // 2 pt: Qt scales super- and subscripts down to whole points
constexpr int kMaxHalfPoints = 3276; // 1638 pt, Word's largest font size
constexpr int kDefaultHalfPoints = 24;
constexpr int kMaxTabStops = 64;
constexpr int kMaxColumns = 64;
// QTextTable rebuilds its cell index on every appended row, so a longer
// run of rows is split over several tables to keep reading linear.
constexpr int kMaxRowsPerTable = 250;
constexpr size_t kMaxKeywordLength = 32;
constexpr int kMaxFontId = 65535;
constexpr int kMaxFontName = 256;
constexpr int kMaxFieldInstruction = 4096;
constexpr int kMaxUnicodeSkip = 1000;
constexpr qint64 kNumberCeiling = qint64(1) << 40;
constexpr int kTwipsPerPixel = 15; // 1440 twips to the inch, 96 pixels to the inch
constexpr qsizetype kMaxFileSize = qsizetype(64) * 1024 * 1024;

qreal toPixels(int twips)
{
    return qreal(twips) / kTwipsPerPixel;
}

int clampTwips(qint64 value, int low = -kMaxTwips)
{
    return int(std::clamp<qint64>(value, low, kMaxTwips));
}

// Windows-1252 above 0x7f; the five unassigned bytes keep their C1 values.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t fromCp1252(uchar byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return kCp1252High[byte - 0x80];
    return byte;
}

// Symbol and Wingdings put their glyphs on ordinary byte values; list
// bullets are written with them, so the bullets are mapped to Unicode.
enum class SymbolFont { None, Symbol, Wingdings };

char16_t fromSymbolFont(SymbolFont kind, uchar byte)
{
    if (kind == SymbolFont::Symbol) {
        switch (byte) {
        case 0xB7:
            return 0x2022; // bullet
        case 0xAC:
            return 0x2190; // arrows
        case 0xAD:
            return 0x2191;
        case 0xAE:
            return 0x2192;
        case 0xAF:
            return 0x2193;
        default:
            break;
        }
    } else if (kind == SymbolFont::Wingdings) {
        switch (byte) {
        case 0x6C:
            return 0x25CF; // black circle
        case 0x6E:
            return 0x25A0; // black square
        case 0x71:
            return 0x2751; // shadowed square
        case 0x76:
            return 0x2756; // diamond of diamonds
        case 0xA7:
            return 0x25AA; // small square
        case 0xA8:
            return 0x25FB; // white square
        case 0xD8:
            return 0x27A2; // arrowhead
        case 0xFC:
            return 0x2713; // check mark
        default:
            break;
        }
    }
    return fromCp1252(byte);
}

enum class Kw {
    SkipDestination,
    FontTable,
    ColorTable,
    Field,
    FieldInstruction,
    ListMarker,
    NestedTableProperties,
    Binary,
    Character,
    Paragraph,
    Cell,
    Row,
    RowDefaults,
    CellEdge,
    Bold,
    Italic,
    Strike,
    Hidden,
    Capitals,
    Underline,
    UnderlineNone,
    UnderlineColour,
    Font,
    FontSize,
    Foreground,
    Background,
    Superscript,
    Subscript,
    NoSuperSub,
    Raise,
    Lower,
    Plain,
    UnicodeSkip,
    Unicode,
    ParagraphDefaults,
    Align,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    LineSpacing,
    LineMultiple,
    TabStop,
    TabKind,
    InTable,
    TableLevel,
    OutlineLevel,
    Direction,
    DefaultFont,
    DefaultTab,
    FontCharset,
    FontFamily,
    FontPitch,
    Red,
    Green,
    Blue,
};

struct Keyword
{
    std::string_view name;
    Kw kind;
    int value = 0;
};

const std::unordered_map<std::string_view, Keyword> &keywords()
{
    static const std::unordered_map<std::string_view, Keyword> table = [] {
        static const Keyword list[] = {
            // Destinations that hold nothing to show.
            {"aftncn", Kw::SkipDestination},
            {"aftnsep", Kw::SkipDestination},
            {"aftnsepc", Kw::SkipDestination},
            {"annotation", Kw::SkipDestination},
            {"atnauthor", Kw::SkipDestination},
            {"atndate", Kw::SkipDestination},
            {"atnicn", Kw::SkipDestination},
            {"atnid", Kw::SkipDestination},
            {"atnparent", Kw::SkipDestination},
            {"atnref", Kw::SkipDestination},
            {"atntime", Kw::SkipDestination},
            {"atrfend", Kw::SkipDestination},
            {"atrfstart", Kw::SkipDestination},
            {"author", Kw::SkipDestination},
            {"background", Kw::SkipDestination},
            {"bkmkend", Kw::SkipDestination},
            {"bkmkstart", Kw::SkipDestination},
            {"buptim", Kw::SkipDestination},
            {"colorschememapping", Kw::SkipDestination},
            {"comment", Kw::SkipDestination},
            {"company", Kw::SkipDestination},
            {"creatim", Kw::SkipDestination},
            {"datastore", Kw::SkipDestination},
            {"doccomm", Kw::SkipDestination},
            {"docvar", Kw::SkipDestination},
            {"do", Kw::SkipDestination},
            {"falt", Kw::SkipDestination},
            {"filetbl", Kw::SkipDestination},
            {"fontemb", Kw::SkipDestination},
            {"fontfile", Kw::SkipDestination},
            {"footer", Kw::SkipDestination},
            {"footerf", Kw::SkipDestination},
            {"footerl", Kw::SkipDestination},
            {"footerr", Kw::SkipDestination},
            {"footnote", Kw::SkipDestination},
            {"ftncn", Kw::SkipDestination},
            {"ftnsep", Kw::SkipDestination},
            {"ftnsepc", Kw::SkipDestination},
            {"generator", Kw::SkipDestination},
            {"header", Kw::SkipDestination},
            {"headerf", Kw::SkipDestination},
            {"headerl", Kw::SkipDestination},
            {"headerr", Kw::SkipDestination},
            {"hlinkbase", Kw::SkipDestination},
            {"info", Kw::SkipDestination},
            {"keywords", Kw::SkipDestination},
            {"latentstyles", Kw::SkipDestination},
            {"listoverridetable", Kw::SkipDestination},
            {"listpicture", Kw::SkipDestination},
            {"listtable", Kw::SkipDestination},
            {"mmath", Kw::SkipDestination},
            {"mmathPr", Kw::SkipDestination},
            {"nonshppict", Kw::SkipDestination},
            {"object", Kw::SkipDestination},
            {"objdata", Kw::SkipDestination},
            {"operator", Kw::SkipDestination},
            {"panose", Kw::SkipDestination},
            {"pgdsctbl", Kw::SkipDestination},
            {"pict", Kw::SkipDestination},
            {"pn", Kw::SkipDestination},
            {"pnseclvl", Kw::SkipDestination},
            {"pntxta", Kw::SkipDestination},
            {"pntxtb", Kw::SkipDestination},
            {"printim", Kw::SkipDestination},
            {"private", Kw::SkipDestination},
            {"revtbl", Kw::SkipDestination},
            {"revtim", Kw::SkipDestination},
            {"rsidtbl", Kw::SkipDestination},
            {"rxe", Kw::SkipDestination},
            {"shp", Kw::SkipDestination},
            {"shpinst", Kw::SkipDestination},
            {"shppict", Kw::SkipDestination},
            {"stylesheet", Kw::SkipDestination},
            {"subject", Kw::SkipDestination},
            {"tc", Kw::SkipDestination},
            {"tcn", Kw::SkipDestination},
            {"template", Kw::SkipDestination},
            {"themedata", Kw::SkipDestination},
            {"title", Kw::SkipDestination},
            {"txe", Kw::SkipDestination},
            {"userprops", Kw::SkipDestination},
            {"xe", Kw::SkipDestination},
            {"xmlnstbl", Kw::SkipDestination},

            {"fonttbl", Kw::FontTable},
            {"colortbl", Kw::ColorTable},
            {"field", Kw::Field},
            {"fldinst", Kw::FieldInstruction},
            {"listtext", Kw::ListMarker},
            {"pntext", Kw::ListMarker},
            {"nesttableprops", Kw::NestedTableProperties},
            {"bin", Kw::Binary},

            // Characters.
            {"tab", Kw::Character, '\t'},
            {"line", Kw::Character, 0x2028},
            {"emdash", Kw::Character, 0x2014},
            {"endash", Kw::Character, 0x2013},
            {"emspace", Kw::Character, 0x2003},
            {"enspace", Kw::Character, 0x2002},
            {"qmspace", Kw::Character, 0x2005},
            {"bullet", Kw::Character, 0x2022},
            {"lquote", Kw::Character, 0x2018},
            {"rquote", Kw::Character, 0x2019},
            {"ldblquote", Kw::Character, 0x201C},
            {"rdblquote", Kw::Character, 0x201D},
            {"zwj", Kw::Character, 0x200D},
            {"zwnj", Kw::Character, 0x200C},
            {"zwbo", Kw::Character, 0x200B},
            {"ltrmark", Kw::Character, 0x200E},
            {"rtlmark", Kw::Character, 0x200F},
            // Nested table cells are shown flat inside the outer cell.
            {"nestcell", Kw::Character, '\t'},
            {"nestrow", Kw::Character, 0x2028},

            {"par", Kw::Paragraph},
            {"page", Kw::Paragraph},
            {"sect", Kw::Paragraph},
            {"column", Kw::Paragraph},
            {"cell", Kw::Cell},
            {"row", Kw::Row},
            {"trowd", Kw::RowDefaults},
            {"cellx", Kw::CellEdge},

            // Character formatting.
            {"b", Kw::Bold},
            {"i", Kw::Italic},
            {"strike", Kw::Strike},
            {"striked", Kw::Strike},
            {"v", Kw::Hidden},
            {"caps", Kw::Capitals, QFont::AllUppercase},
            {"scaps", Kw::Capitals, QFont::SmallCaps},
            {"ul", Kw::Underline, QTextCharFormat::SingleUnderline},
            {"uldb", Kw::Underline, QTextCharFormat::SingleUnderline},
            {"ulw", Kw::Underline, QTextCharFormat::SingleUnderline},
            {"ulth", Kw::Underline, QTextCharFormat::SingleUnderline},
            {"ulhair", Kw::Underline, QTextCharFormat::SingleUnderline},
            {"uld", Kw::Underline, QTextCharFormat::DotLine},
            {"ulthd", Kw::Underline, QTextCharFormat::DotLine},
            {"uldash", Kw::Underline, QTextCharFormat::DashUnderline},
            {"ulldash", Kw::Underline, QTextCharFormat::DashUnderline},
            {"ulthdash", Kw::Underline, QTextCharFormat::DashUnderline},
            {"ulthldash", Kw::Underline, QTextCharFormat::DashUnderline},
            {"uldashd", Kw::Underline, QTextCharFormat::DashDotLine},
            {"ulthdashd", Kw::Underline, QTextCharFormat::DashDotLine},
            {"uldashdd", Kw::Underline, QTextCharFormat::DashDotDotLine},
            {"ulthdashdd", Kw::Underline, QTextCharFormat::DashDotDotLine},
            {"ulwave", Kw::Underline, QTextCharFormat::WaveUnderline},
            {"ulhwave", Kw::Underline, QTextCharFormat::WaveUnderline},
            {"ululdbwave", Kw::Underline, QTextCharFormat::WaveUnderline},
            {"ulnone", Kw::UnderlineNone},
            {"ulc", Kw::UnderlineColour},
            {"f", Kw::Font},
            {"fs", Kw::FontSize},
            {"cf", Kw::Foreground},
            {"cb", Kw::Background},
            {"highlight", Kw::Background},
            {"chcbpat", Kw::Background},
            {"super", Kw::Superscript},
            {"sub", Kw::Subscript},
            {"nosupersub", Kw::NoSuperSub},
            {"up", Kw::Raise},
            {"dn", Kw::Lower},
            {"plain", Kw::Plain},
            {"uc", Kw::UnicodeSkip},
            {"u", Kw::Unicode},

            // Paragraph formatting.
            {"pard", Kw::ParagraphDefaults},
            {"ql", Kw::Align, Qt::AlignLeft},
            {"qr", Kw::Align, Qt::AlignRight},
            {"qc", Kw::Align, Qt::AlignHCenter},
            {"qj", Kw::Align, Qt::AlignJustify},
            {"qd", Kw::Align, Qt::AlignJustify},
            {"li", Kw::LeftIndent},
            {"ri", Kw::RightIndent},
            {"fi", Kw::FirstIndent},
            {"sb", Kw::SpaceBefore},
            {"sa", Kw::SpaceAfter},
            {"sl", Kw::LineSpacing},
            {"slmult", Kw::LineMultiple},
            {"tx", Kw::TabStop},
            {"tqr", Kw::TabKind, QTextOption::RightTab},
            {"tqc", Kw::TabKind, QTextOption::CenterTab},
            {"tqdec", Kw::TabKind, QTextOption::DelimiterTab},
            {"intbl", Kw::InTable},
            {"itap", Kw::TableLevel},
            {"outlinelevel", Kw::OutlineLevel},
            {"rtlpar", Kw::Direction, Qt::RightToLeft},
            {"ltrpar", Kw::Direction, Qt::LeftToRight},

            // Document and tables.
            {"deff", Kw::DefaultFont},
            {"deftab", Kw::DefaultTab},
            {"fcharset", Kw::FontCharset},
            {"fnil", Kw::FontFamily, QFont::AnyStyle},
            {"froman", Kw::FontFamily, QFont::Serif},
            {"fswiss", Kw::FontFamily, QFont::SansSerif},
            {"fmodern", Kw::FontFamily, QFont::TypeWriter},
            {"fscript", Kw::FontFamily, QFont::Cursive},
            {"fdecor", Kw::FontFamily, QFont::Decorative},
            {"ftech", Kw::FontFamily, QFont::AnyStyle},
            {"fbidi", Kw::FontFamily, QFont::AnyStyle},
            {"fprq", Kw::FontPitch},
            {"red", Kw::Red},
            {"green", Kw::Green},
            {"blue", Kw::Blue},
        };
        std::unordered_map<std::string_view, Keyword> map;
        for (const Keyword &k : list)
            map.emplace(k.name, k);
        return map;
    }();
    return table;
}

const Keyword *findKeyword(std::string_view name)
{
    if (name.size() > kMaxKeywordLength)
        return nullptr;
    const auto &table = keywords();
    const auto it = table.find(name);
    return it == table.end() ? nullptr : &it->second;
}

enum class Destination { Text, FontTable, ColorTable, FieldInstruction };

struct CharState
{
    int font = -1; // -1: the document's default font
    int halfPoints = kDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;
    QTextCharFormat::UnderlineStyle underline = QTextCharFormat::NoUnderline;
    QTextCharFormat::VerticalAlignment vertical = QTextCharFormat::AlignNormal;
    QFont::Capitalization capitals = QFont::MixedCase;
    int foreground = -1; // colour table index, -1: none
    int background = -1;
    int underlineColour = -1;
};

struct TabStop
{
    int position; // twips from the left margin
    QTextOption::TabType kind;
};

struct ParaState
{
    Qt::Alignment align = Qt::AlignLeft;
    int left = 0; // twips
    int right = 0;
    int first = 0;
    int before = 0;
    int after = 0;
    int lineSpacing = 0;
    bool lineMultiple = false;
    QList<TabStop> tabs;
    QTextOption::TabType nextTabKind = QTextOption::LeftTab;
    bool inTable = false;
    int headingLevel = 0;
    Qt::LayoutDirection direction = Qt::LayoutDirectionAuto;
};

struct Group
{
    CharState chr;
    ParaState para;
    Destination destination = Destination::Text;
    bool ownsDestination = false; // this group opened its destination
    bool listMarkerStart = false; // drop spaces before a list marker
    int unicodeSkip = 1;
    QString href;
};

struct FontEntry
{
    QString name;
    QFont::StyleHint hint = QFont::AnyStyle;
    bool fixedPitch = false;
    SymbolFont symbol = SymbolFont::None;
};

bool isLetter(uchar c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(uchar c)
{
    return c >= '0' && c <= '9';
}

int hexValue(uchar c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The target of a HYPERLINK field instruction, if it is one the help window
// may open: a web or mail address, or a place in the same document.
QString hyperlinkTarget(const QString &instruction)
{
    const QString text = instruction.trimmed();
    static const QLatin1String kHyperlink("HYPERLINK");
    if (!text.startsWith(kHyperlink, Qt::CaseInsensitive))
        return {};

    QString address;
    QString bookmark;
    bool nextIsBookmark = false;
    bool nextIsSkipped = false;
    qsizetype i = kHyperlink.size();
    while (i < text.size()) {
        if (text.at(i).isSpace()) {
            ++i;
            continue;
        }
        if (text.at(i) == u'\\' && i + 1 < text.size()) {
            const QChar option = text.at(i + 1).toLower();
            nextIsBookmark = option == u'l';
            nextIsSkipped = option == u'o' || option == u't';
            i += 2;
            continue;
        }
        QString argument;
        if (text.at(i) == u'"') {
            const qsizetype close = text.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? text.size() : close;
            argument = text.mid(i + 1, end - i - 1);
            i = end + 1;
        } else {
            const qsizetype start = i;
            while (i < text.size() && !text.at(i).isSpace())
                ++i;
            argument = text.mid(start, i - start);
        }
        if (nextIsBookmark)
            bookmark = argument;
        else if (!nextIsSkipped && address.isEmpty())
            address = argument;
        nextIsBookmark = false;
        nextIsSkipped = false;
    }

    if (address.isEmpty())
        return bookmark.isEmpty() ? QString() : u'#' + bookmark;
    if (address.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        address.prepend(QLatin1String("http://"));
    const QUrl url(address);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https")
            && scheme != QLatin1String("mailto")))
        return {};
    if (!bookmark.isEmpty())
        address += u'#' + bookmark;
    return address;
}

class Parser
{
public:
    Parser(const QByteArray &data, QTextDocument *doc)
        : m_data(reinterpret_cast<const uchar *>(data.constData()))
        , m_size(data.size())
        , m_doc(doc)
        , m_cursor(doc)
    {
    }

    // Reads the root group, which starts at offset start.
    void run(qsizetype start);

private:
    // Tokens.
    struct ControlWord
    {
        std::string_view name;
        bool hasParam = false;
        qint64 param = 0;
    };
    ControlWord readControlWord();
    void controlSequence();
    void controlWord();
    void controlSymbol(uchar symbol);
    void hexByte();
    void skipBinary(qint64 count);
    void skipGroupContent();

    // Groups.
    void openGroup();
    void closeGroup();
    Group &top() { return m_groups.back(); }
    const Group &top() const { return m_groups.back(); }
    void startSkipping();

    // Keywords.
    void keyword(const Keyword &kw, bool hasParam, qint64 param);
    void fontTableKeyword(const Keyword &kw, bool hasParam, qint64 param);
    void colourTableKeyword(const Keyword &kw, qint64 param);
    void textKeyword(const Keyword &kw, bool hasParam, qint64 param);

    // Text.
    void byteText(uchar byte);
    void character(char16_t c);
    void textCharacter(char16_t c);
    void unicodeCharacter(char16_t c);
    SymbolFont symbolFont() const;
    void commitFont();
    void commitColour();

    // Output.
    void flushRun();
    void ensurePosition(bool materializeBreak, bool forceTable = false);
    void endParagraph();
    void endCell();
    void endRow();
    void applyBlockFormat();
    void startTable();
    void nextRow();
    void enterCell();
    void leaveTable();
    void finish();
    QTextCharFormat charFormat() const;
    QTextBlockFormat blockFormat() const;
    QColor colour(int index) const;

    const uchar *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    QTextDocument *m_doc;
    QTextCursor m_cursor;

    std::vector<Group> m_groups;
    bool m_done = false; // the root group has closed
    int m_overflowDepth = 0; // groups past kMaxGroupDepth, sharing the top state
    qint64 m_skipDepth = 0; // > 0 while inside a skipped destination
    bool m_ignorablePending = false; // just read "\*"
    int m_unicodeSkipLeft = 0; // fallback characters still to drop after \u

    int m_defaultFont = -1;
    int m_defaultTab = 720;
    QHash<int, FontEntry> m_fonts;
    int m_fontId = -1;
    FontEntry m_fontEntry;
    int m_fontCharset = 0;
    QList<QColor> m_colours;
    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;
    bool m_colourGiven = false;
    QString m_fieldInstruction;

    QString m_run; // text read but not yet inserted, all in the top group's format
    char16_t m_highSurrogate = 0;
    bool m_pendingBreak = false; // the current block is finished; start a new one before more
    bool m_listMarkerShown = false;

    QTextTable *m_table = nullptr;
    int m_row = 0;
    int m_column = 0;
    bool m_rowOpen = false; // between \trowd and \row
    bool m_rowDone = false; // \row seen; the next cell starts a new row
    bool m_inCell = false;
    int m_cellCount = 0; // cells the last \trowd defined
};

void Parser::run(qsizetype start)
{
    m_groups.reserve(RtfReader::kMaxGroupDepth + 1);
    m_groups.emplace_back();
    m_pos = start + 1; // past the root group's '{'
    m_cursor.beginEditBlock();

    while (m_pos < m_size && !m_done) {
        if (m_skipDepth > 0) {
            skipGroupContent();
            continue;
        }
        const uchar c = m_data[m_pos++];
        switch (c) {
        case '{':
            openGroup();
            break;
        case '}':
            closeGroup();
            break;
        case '\\':
            controlSequence();
            break;
        case '\r':
        case '\n':
            break;
        default:
            m_ignorablePending = false;
            byteText(c);
            break;
        }
    }

    finish();
    m_cursor.endEditBlock();
}

void Parser::skipGroupContent()
{
    while (m_pos < m_size && !m_done) {
        const uchar c = m_data[m_pos++];
        if (c == '{') {
            ++m_skipDepth;
        } else if (c == '}') {
            if (--m_skipDepth == 0) {
                closeGroup();
                return;
            }
        } else if (c == '\\' && m_pos < m_size) {
            if (!isLetter(m_data[m_pos])) {
                ++m_pos; // an escaped brace or backslash is not structure
                continue;
            }
            const ControlWord word = readControlWord();
            if (word.name == "bin")
                skipBinary(word.param);
        }
    }
}

void Parser::skipBinary(qint64 count)
{
    if (count > 0)
        m_pos += qsizetype(std::min<qint64>(count, m_size - m_pos));
}

void Parser::controlSequence()
{
    if (m_pos >= m_size)
        return;
    const uchar c = m_data[m_pos];
    if (isLetter(c)) {
        controlWord();
        return;
    }
    ++m_pos;
    if (c == '\'') {
        m_ignorablePending = false;
        hexByte();
        return;
    }
    controlSymbol(c);
}

Parser::ControlWord Parser::readControlWord()
{
    ControlWord word;
    const qsizetype nameStart = m_pos;
    while (m_pos < m_size && isLetter(m_data[m_pos]))
        ++m_pos;
    word.name = std::string_view(reinterpret_cast<const char *>(m_data + nameStart),
                                 size_t(m_pos - nameStart));

    bool negative = false;
    if (m_pos + 1 < m_size && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    // Digits past the ceiling are read but no longer counted.
    while (m_pos < m_size && isDigit(m_data[m_pos])) {
        word.hasParam = true;
        if (word.param < kNumberCeiling)
            word.param = word.param * 10 + (m_data[m_pos] - '0');
        ++m_pos;
    }
    if (negative)
        word.param = -word.param;
    if (m_pos < m_size && m_data[m_pos] == ' ')
        ++m_pos; // the delimiter belongs to the word
    return word;
}

void Parser::controlWord()
{
    const ControlWord word = readControlWord();
    const Keyword *kw = findKeyword(word.name);

    // A control word stands for one character of the \u fallback text.
    if (m_unicodeSkipLeft > 0) {
        --m_unicodeSkipLeft;
        m_ignorablePending = false;
        if (kw && kw->kind == Kw::Binary)
            skipBinary(word.param);
        return;
    }

    if (m_ignorablePending) {
        m_ignorablePending = false;
        // "{\*\word": a destination that readers which do not know it skip.
        // Of those, only field instructions and the end of a nested table
        // row matter here.
        if (!kw || (kw->kind != Kw::FieldInstruction && kw->kind != Kw::NestedTableProperties)) {
            startSkipping();
            return;
        }
    }
    if (kw)
        keyword(*kw, word.hasParam, word.param);
}

void Parser::controlSymbol(uchar symbol)
{
    if (symbol == '*') {
        m_ignorablePending = true;
        return;
    }
    m_ignorablePending = false;
    if (m_unicodeSkipLeft > 0 && symbol != '\r' && symbol != '\n') {
        --m_unicodeSkipLeft;
        return;
    }
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        character(symbol);
        break;
    case '~':
        character(0x00A0);
        break;
    case '-':
        character(0x00AD);
        break;
    case '_':
        character(0x2011);
        break;
    case '\r':
    case '\n':
        if (top().destination == Destination::Text)
            endParagraph();
        break;
    default:
        break;
    }
}

void Parser::hexByte()
{
    int value = 0;
    int digits = 0;
    while (digits < 2 && m_pos < m_size) {
        const int h = hexValue(m_data[m_pos]);
        if (h < 0)
            break;
        value = value * 16 + h;
        ++digits;
        ++m_pos;
    }
    if (m_unicodeSkipLeft > 0) {
        --m_unicodeSkipLeft;
        return;
    }
    if (digits > 0)
        character(fromSymbolFont(symbolFont(), uchar(value)));
}

void Parser::byteText(uchar byte)
{
    if (m_unicodeSkipLeft > 0) {
        --m_unicodeSkipLeft;
        return;
    }
    character(fromSymbolFont(symbolFont(), byte));
}

void Parser::openGroup()
{
    m_unicodeSkipLeft = 0;
    m_ignorablePending = false;
    if (int(m_groups.size()) >= RtfReader::kMaxGroupDepth) {
        ++m_overflowDepth;
        return;
    }
    flushRun();
    Group copy = m_groups.back();
    copy.ownsDestination = false;
    m_groups.push_back(std::move(copy));
}

void Parser::closeGroup()
{
    m_unicodeSkipLeft = 0;
    m_ignorablePending = false;
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    flushRun();
    if (m_groups.size() == 1) {
        // The root group ends the document; anything after it is ignored.
        // Its state stays for finish() to format the last paragraph.
        m_done = true;
        return;
    }
    const Group &group = top();
    QString href;
    const bool fieldEnds
        = group.destination == Destination::FieldInstruction && group.ownsDestination;
    if (fieldEnds)
        href = hyperlinkTarget(m_fieldInstruction);
    if (group.destination == Destination::FontTable)
        commitFont();
    else if (group.destination == Destination::ColorTable && m_colourGiven)
        commitColour();
    m_groups.pop_back();
    // The link belongs to the enclosing \field group, where the result is.
    if (fieldEnds)
        top().href = href;
}

void Parser::startSkipping()
{
    flushRun();
    m_skipDepth = 1;
}

void Parser::keyword(const Keyword &kw, bool hasParam, qint64 param)
{
    // Words that open destinations work wherever they appear.
    switch (kw.kind) {
    case Kw::SkipDestination:
        startSkipping();
        return;
    case Kw::FontTable:
        flushRun();
        top().destination = Destination::FontTable;
        m_fontId = -1;
        m_fontEntry = {};
        return;
    case Kw::ColorTable:
        flushRun();
        top().destination = Destination::ColorTable;
        m_colourGiven = false;
        return;
    case Kw::FieldInstruction:
        flushRun();
        top().destination = Destination::FieldInstruction;
        top().ownsDestination = true;
        m_fieldInstruction.clear();
        return;
    case Kw::Binary:
        if (hasParam)
            skipBinary(param);
        return;
    default:
        break;
    }

    switch (top().destination) {
    case Destination::FontTable:
        fontTableKeyword(kw, hasParam, param);
        break;
    case Destination::ColorTable:
        colourTableKeyword(kw, param);
        break;
    case Destination::FieldInstruction:
        if (kw.kind == Kw::Character || kw.kind == Kw::Unicode)
            textKeyword(kw, hasParam, param);
        break;
    case Destination::Text:
        textKeyword(kw, hasParam, param);
        break;
    }
}

void Parser::fontTableKeyword(const Keyword &kw, bool hasParam, qint64 param)
{
    switch (kw.kind) {
    case Kw::Font:
        commitFont();
        m_fontId = hasParam && param >= 0 && param <= kMaxFontId ? int(param) : -1;
        m_fontEntry = {};
        m_fontCharset = 0;
        break;
    case Kw::FontCharset:
        m_fontCharset = int(std::clamp<qint64>(param, 0, 255));
        break;
    case Kw::FontFamily:
        m_fontEntry.hint = QFont::StyleHint(kw.value);
        break;
    case Kw::FontPitch:
        m_fontEntry.fixedPitch = param == 1;
        break;
    case Kw::Character:
    case Kw::Unicode:
        textKeyword(kw, hasParam, param);
        break;
    default:
        break;
    }
}

void Parser::colourTableKeyword(const Keyword &kw, qint64 param)
{
    const int component = int(std::clamp<qint64>(param, 0, 255));
    switch (kw.kind) {
    case Kw::Red:
        m_red = component;
        m_colourGiven = true;
        break;
    case Kw::Green:
        m_green = component;
        m_colourGiven = true;
        break;
    case Kw::Blue:
        m_blue = component;
        m_colourGiven = true;
        break;
    default:
        break;
    }
}

void Parser::commitFont()
{
    const QString name = m_fontEntry.name.trimmed();
    if (m_fontId >= 0 && !name.isEmpty()) {
        FontEntry entry = m_fontEntry;
        entry.name = name;
        if (name.startsWith(QLatin1String("Wingdings"), Qt::CaseInsensitive))
            entry.symbol = SymbolFont::Wingdings;
        else if (m_fontCharset == 2
                 || name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0)
            entry.symbol = SymbolFont::Symbol;
        m_fonts.insert(m_fontId, entry);
    }
    m_fontEntry.name.clear();
}

void Parser::commitColour()
{
    m_colours.append(m_colourGiven ? QColor(m_red, m_green, m_blue) : QColor());
    m_red = m_green = m_blue = 0;
    m_colourGiven = false;
}

void Parser::textKeyword(const Keyword &kw, bool hasParam, qint64 param)
{
    Group &g = top();
    CharState &chr = g.chr;
    ParaState &para = g.para;
    // A switch without a number turns on; with 0 it turns off.
    const bool on = !hasParam || param != 0;

    if (kw.kind != Kw::Character && kw.kind != Kw::Unicode)
        flushRun();

    switch (kw.kind) {
    case Kw::Character:
        character(char16_t(kw.value));
        break;
    case Kw::Unicode: {
        if (!hasParam)
            break;
        const qint64 code = param < 0 ? param + 65536 : param;
        if (code > 0 && code <= 0xFFFF)
            unicodeCharacter(char16_t(code));
        m_unicodeSkipLeft = g.unicodeSkip;
        break;
    }
    case Kw::UnicodeSkip:
        if (hasParam)
            g.unicodeSkip = int(std::clamp<qint64>(param, 0, kMaxUnicodeSkip));
        break;
    case Kw::Field:
        g.href.clear();
        break;
    case Kw::ListMarker:
        // Writers add \pntext for old readers beside \listtext; show one.
        if (m_listMarkerShown)
            startSkipping();
        m_listMarkerShown = true;
        g.listMarkerStart = true;
        break;
    case Kw::NestedTableProperties:
        // Ends a row of a table inside a cell, which is shown flat.
        character(0x2028);
        flushRun();
        startSkipping();
        break;
    case Kw::Paragraph:
        endParagraph();
        break;
    case Kw::Cell:
        endCell();
        break;
    case Kw::Row:
        endRow();
        break;
    case Kw::RowDefaults:
        m_rowOpen = true;
        m_cellCount = 0;
        break;
    case Kw::CellEdge:
        m_cellCount = std::min(m_cellCount + 1, kMaxColumns);
        break;

    case Kw::Bold:
        chr.bold = on;
        break;
    case Kw::Italic:
        chr.italic = on;
        break;
    case Kw::Strike:
        chr.strike = on;
        break;
    case Kw::Hidden:
        chr.hidden = on;
        break;
    case Kw::Capitals:
        chr.capitals = on ? QFont::Capitalization(kw.value) : QFont::MixedCase;
        break;
    case Kw::Underline:
        chr.underline
            = on ? QTextCharFormat::UnderlineStyle(kw.value) : QTextCharFormat::NoUnderline;
        break;
    case Kw::UnderlineNone:
        chr.underline = QTextCharFormat::NoUnderline;
        break;
    case Kw::UnderlineColour:
        chr.underlineColour = param >= 0 && param <= INT32_MAX ? int(param) : -1;
        break;
    case Kw::Font:
        if (hasParam && param >= 0 && param <= kMaxFontId)
            chr.font = int(param);
        break;
    case Kw::FontSize:
        if (hasParam && param > 0)
            chr.halfPoints = int(std::clamp<qint64>(param, kMinHalfPoints, kMaxHalfPoints));
        break;
    case Kw::Foreground:
        chr.foreground = param >= 0 && param <= INT32_MAX ? int(param) : -1;
        break;
    case Kw::Background:
        chr.background = param >= 0 && param <= INT32_MAX ? int(param) : -1;
        break;
    case Kw::Superscript:
        chr.vertical = QTextCharFormat::AlignSuperScript;
        break;
    case Kw::Subscript:
        chr.vertical = QTextCharFormat::AlignSubScript;
        break;
    case Kw::NoSuperSub:
        chr.vertical = QTextCharFormat::AlignNormal;
        break;
    case Kw::Raise: // \up and \dn without a number move by 3 points
        chr.vertical = !hasParam || param > 0 ? QTextCharFormat::AlignSuperScript
                                              : QTextCharFormat::AlignNormal;
        break;
    case Kw::Lower:
        chr.vertical = !hasParam || param > 0 ? QTextCharFormat::AlignSubScript
                                              : QTextCharFormat::AlignNormal;
        break;
    case Kw::Plain:
        chr = CharState();
        break;

    case Kw::ParagraphDefaults:
        para = ParaState();
        break;
    case Kw::Align:
        para.align = Qt::Alignment(kw.value);
        break;
    case Kw::LeftIndent:
        para.left = clampTwips(param);
        break;
    case Kw::RightIndent:
        para.right = clampTwips(param);
        break;
    case Kw::FirstIndent:
        para.first = clampTwips(param);
        break;
    case Kw::SpaceBefore:
        para.before = clampTwips(param, 0);
        break;
    case Kw::SpaceAfter:
        para.after = clampTwips(param, 0);
        break;
    case Kw::LineSpacing:
        para.lineSpacing = clampTwips(param);
        break;
    case Kw::LineMultiple:
        para.lineMultiple = on;
        break;
    case Kw::TabKind:
        para.nextTabKind = QTextOption::TabType(kw.value);
        break;
    case Kw::TabStop:
        if (para.tabs.size() < kMaxTabStops)
            para.tabs.append({clampTwips(param, 0), para.nextTabKind});
        para.nextTabKind = QTextOption::LeftTab;
        break;
    case Kw::InTable:
        para.inTable = on;
        break;
    case Kw::TableLevel:
        para.inTable = param > 0;
        break;
    case Kw::OutlineLevel:
        para.headingLevel = param >= 0 && param < 6 ? int(param) + 1 : 0;
        break;
    case Kw::Direction:
        para.direction = Qt::LayoutDirection(kw.value);
        break;

    case Kw::DefaultFont:
        if (hasParam && param >= 0 && param <= kMaxFontId)
            m_defaultFont = int(param);
        break;
    case Kw::DefaultTab:
        if (param > 0)
            m_defaultTab = clampTwips(param);
        break;
    default:
        break;
    }
}

SymbolFont Parser::symbolFont() const
{
    const int id = top().chr.font < 0 ? m_defaultFont : top().chr.font;
    const auto it = m_fonts.constFind(id);
    return it == m_fonts.cend() ? SymbolFont::None : it->symbol;
}

void Parser::unicodeCharacter(char16_t c)
{
    // Word writes symbol font glyphs as private-use characters U+F0xx.
    if (c >= 0xF000 && c <= 0xF0FF) {
        const SymbolFont kind = symbolFont();
        if (kind != SymbolFont::None)
            c = fromSymbolFont(kind, uchar(c & 0xFF));
    }
    character(c);
}

void Parser::character(char16_t c)
{
    Group &g = top();
    switch (g.destination) {
    case Destination::Text:
        if (g.chr.hidden || (g.listMarkerStart && c == u' '))
            break;
        g.listMarkerStart = false;
        textCharacter(c);
        break;
    case Destination::FontTable:
        if (c == u';')
            commitFont();
        else if (m_fontEntry.name.size() < kMaxFontName)
            m_fontEntry.name.append(QChar(c));
        break;
    case Destination::ColorTable:
        if (c == u';')
            commitColour();
        break;
    case Destination::FieldInstruction:
        if (m_fieldInstruction.size() < kMaxFieldInstruction)
            m_fieldInstruction.append(QChar(c));
        break;
    }
}

void Parser::textCharacter(char16_t c)
{
    if (QChar::isHighSurrogate(c)) {
        if (m_highSurrogate)
            m_run.append(QChar(QChar::ReplacementCharacter));
        m_highSurrogate = c;
        return;
    }
    if (QChar::isLowSurrogate(c)) {
        if (m_highSurrogate) {
            m_run.append(QChar(m_highSurrogate));
            m_run.append(QChar(c));
        } else {
            m_run.append(QChar(QChar::ReplacementCharacter));
        }
        m_highSurrogate = 0;
        return;
    }
    if (m_highSurrogate) {
        m_run.append(QChar(QChar::ReplacementCharacter));
        m_highSurrogate = 0;
    }
    // Control characters other than tab, and the characters QTextDocument
    // uses to mark paragraphs and frames, never come from the text itself.
    if ((c < 0x20 && c != u'\t') || c == 0x7F || (c >= 0xFDD0 && c <= 0xFDEF) || c == 0xFFFE
        || c == 0xFFFF)
        return;
    if (c == QChar::ParagraphSeparator)
        c = QChar::LineSeparator;
    m_run.append(QChar(c));
}

QColor Parser::colour(int index) const
{
    if (index < 0 || index >= m_colours.size())
        return {};
    return m_colours.at(index);
}

QTextCharFormat Parser::charFormat() const
{
    const Group &g = top();
    const CharState &chr = g.chr;
    QTextCharFormat format;

    const auto font = m_fonts.constFind(chr.font < 0 ? m_defaultFont : chr.font);
    if (font != m_fonts.cend() && font->symbol == SymbolFont::None) {
        format.setFontFamilies(QStringList {font->name});
        format.setFontStyleHint(font->hint);
        if (font->fixedPitch)
            format.setFontFixedPitch(true);
    }
    format.setFontPointSize(chr.halfPoints / 2.0);
    if (chr.bold)
        format.setFontWeight(QFont::Bold);
    if (chr.italic)
        format.setFontItalic(true);
    if (chr.strike)
        format.setFontStrikeOut(true);
    if (chr.underline != QTextCharFormat::NoUnderline)
        format.setUnderlineStyle(chr.underline);
    if (chr.vertical != QTextCharFormat::AlignNormal)
        format.setVerticalAlignment(chr.vertical);
    if (chr.capitals != QFont::MixedCase)
        format.setFontCapitalization(chr.capitals);
    if (const QColor c = colour(chr.foreground); c.isValid())
        format.setForeground(c);
    if (const QColor c = colour(chr.background); c.isValid())
        format.setBackground(c);
    if (const QColor c = colour(chr.underlineColour); c.isValid())
        format.setUnderlineColor(c);
    if (!g.href.isEmpty()) {
        format.setAnchor(true);
        format.setAnchorHref(g.href);
    }
    return format;
}

QTextBlockFormat Parser::blockFormat() const
{
    const ParaState &para = top().para;
    QTextBlockFormat format;
    format.setAlignment(para.align);
    format.setLeftMargin(toPixels(para.left));
    format.setRightMargin(toPixels(para.right));
    format.setTextIndent(toPixels(para.first));
    format.setTopMargin(toPixels(para.before));
    format.setBottomMargin(toPixels(para.after));

    // RTF measures tab stops from the left margin, Qt from where the line
    // starts; the first line is the one that matters, as list items tab
    // from their marker to the text there.
    const int lineStart = para.left + para.first;
    QList<QTextOption::Tab> tabs;
    bool hangingTabGiven = false;
    for (const TabStop &stop : para.tabs) {
        if (stop.position <= lineStart)
            continue;
        const QChar delimiter = stop.kind == QTextOption::DelimiterTab ? u'.' : QChar();
        tabs.append(QTextOption::Tab(toPixels(stop.position - lineStart), stop.kind, delimiter));
        hangingTabGiven = hangingTabGiven || stop.position == para.left;
    }
    // A hanging first line (a list item) also tabs to the left indent, as in Word.
    if (para.first < 0 && !hangingTabGiven)
        tabs.append(QTextOption::Tab(toPixels(-para.first), QTextOption::LeftTab));
    if (!tabs.isEmpty()) {
        std::sort(tabs.begin(), tabs.end(),
                  [](const auto &a, const auto &b) { return a.position < b.position; });
        format.setTabPositions(tabs);
    }

    if (para.lineSpacing != 0) {
        if (para.lineMultiple && para.lineSpacing > 0) {
            const qreal percent = std::clamp(para.lineSpacing * 100.0 / 240.0, 50.0, 500.0);
            format.setLineHeight(percent, QTextBlockFormat::ProportionalHeight);
        } else if (para.lineSpacing > 0) {
            format.setLineHeight(toPixels(para.lineSpacing), QTextBlockFormat::MinimumHeight);
        } else {
            format.setLineHeight(toPixels(-para.lineSpacing), QTextBlockFormat::FixedHeight);
        }
    }
    if (para.headingLevel > 0)
        format.setHeadingLevel(para.headingLevel);
    if (para.direction != Qt::LayoutDirectionAuto)
        format.setLayoutDirection(para.direction);
    return format;
}

void Parser::flushRun()
{
    if (m_run.isEmpty())
        return;
    ensurePosition(true);
    m_cursor.insertText(m_run, charFormat());
    m_run.clear();
}

void Parser::ensurePosition(bool materializeBreak, bool forceTable)
{
    const bool wantTable = forceTable || m_rowOpen || top().para.inTable;
    if (wantTable) {
        if (!m_table)
            startTable();
        else if (m_rowDone)
            nextRow();
        if (!m_inCell)
            enterCell();
    } else if (m_table) {
        leaveTable();
    }
    if (materializeBreak && m_pendingBreak) {
        m_cursor.insertBlock();
        m_pendingBreak = false;
    }
}

void Parser::applyBlockFormat()
{
    m_cursor.setBlockFormat(blockFormat());
    if (m_cursor.block().length() <= 1)
        m_cursor.setBlockCharFormat(charFormat()); // gives an empty line its height
}

void Parser::endParagraph()
{
    flushRun();
    ensurePosition(true);
    applyBlockFormat();
    m_pendingBreak = true;
    m_listMarkerShown = false;
}

void Parser::endCell()
{
    flushRun();
    ensurePosition(false, true);
    // A cell whose last paragraph ended with \par has its format already.
    if (!m_pendingBreak)
        applyBlockFormat();
    ++m_column;
    m_inCell = false;
    m_pendingBreak = false;
    m_listMarkerShown = false;
}

void Parser::endRow()
{
    flushRun();
    if (m_table && !m_rowDone) {
        if (m_inCell && !m_pendingBreak)
            applyBlockFormat();
        m_rowDone = true;
        m_inCell = false;
        m_pendingBreak = false;
    }
    m_rowOpen = false;
    m_listMarkerShown = false;
}

void Parser::startTable()
{
    QTextTableFormat format;
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(4);

    // Columns size to their content: writers' cell widths are often too
    // narrow for Qt's fonts and padding, and a wrapped word reads badly.
    const int columns = std::max(m_cellCount, 1);
    m_table = m_cursor.insertTable(1, columns, format);
    m_row = 0;
    m_column = 0;
    m_rowDone = false;
    m_inCell = true;
    m_pendingBreak = false;
}

void Parser::nextRow()
{
    if (m_table->rows() >= kMaxRowsPerTable) {
        leaveTable();
        startTable();
        return;
    }
    m_table->appendRows(1);
    m_row = m_table->rows() - 1;
    m_column = 0;
    m_rowDone = false;
    m_inCell = false;
}

void Parser::enterCell()
{
    if (m_column >= m_table->columns() && m_table->columns() < kMaxColumns)
        m_table->appendColumns(std::min(m_column + 1, kMaxColumns) - m_table->columns());
    if (m_column < m_table->columns()) {
        m_cursor = m_table->cellAt(m_row, m_column).firstCursorPosition();
        m_pendingBreak = false;
    } else {
        // More cells than a table may have: the rest go into the last one.
        m_column = m_table->columns() - 1;
        m_cursor = m_table->cellAt(m_row, m_column).lastCursorPosition();
        m_pendingBreak = true;
    }
    m_inCell = true;
}

void Parser::leaveTable()
{
    m_cursor.movePosition(QTextCursor::End);
    m_table = nullptr;
    m_inCell = false;
    m_rowDone = false;
    m_pendingBreak = false;
    m_row = 0;
    m_column = 0;
}

void Parser::finish()
{
    flushRun();
    if (!m_pendingBreak)
        applyBlockFormat();
    QTextOption option = m_doc->defaultTextOption();
    option.setTabStopDistance(toPixels(m_defaultTab));
    m_doc->setDefaultTextOption(option);
}

// Finds "{\rtf" at the start, after white space and a UTF-8 byte order mark.
qsizetype rtfStart(const QByteArray &data)
{
    qsizetype i = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < data.size()
           && (data.at(i) == ' ' || data.at(i) == '\t' || data.at(i) == '\r' || data.at(i) == '\n'))
        ++i;
    return QByteArrayView(data).sliced(i).startsWith("{\\rtf") ? i : -1;
}

} // namespace

bool RtfReader::read(const QByteArray &rtf, QTextDocument *doc, QString *error)
{
    if (!doc) {
        if (error)
            *error = QCoreApplication::translate("RtfReader", "No document to read into.");
        return false;
    }
    const qsizetype start = rtfStart(rtf);
    if (start < 0) {
        if (error)
            *error = QCoreApplication::translate("RtfReader", "This is not an RTF document.");
        return false;
    }

    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->clear();
    Parser parser(rtf, doc);
    parser.run(start);
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
    if (error)
        error->clear();
    return true;
}

bool RtfReader::readFile(const QString &path, QTextDocument *doc, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QCoreApplication::translate("RtfReader", "Cannot open %1: %2")
                         .arg(path, file.errorString());
        return false;
    }
    if (file.size() > kMaxFileSize) {
        if (error)
            *error = QCoreApplication::translate("RtfReader", "%1 is too large to show.").arg(path);
        return false;
    }
    return read(file.readAll(), doc, error);
}
