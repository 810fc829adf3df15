#pragma once

#include <string_view>

// The control words of Rich Text Format that the help window's reader
// knows, and what each one does. QtCore only: the words' values are given in
// the reader's own terms, and the document builder turns them into Qt's
// text formats.
namespace Rtf {

enum class Kind {
    SkipDestination, // a destination that holds nothing to show
    FontTable,
    ColorTable,
    Field,
    FieldInstruction,
    FieldResult,
    ListMarker,
    NestedTableProperties,
    Binary,
    Character, // value: the character
    Paragraph,
    Cell,
    Row,
    RowDefaults,
    CellEdge,
    Bold,
    Italic,
    Strike,
    Hidden,
    Capitals, // value: Capitals
    Underline, // value: Underline
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
    Align, // value: Qt::Alignment
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    LineSpacing,
    LineMultiple,
    TabStop,
    TabKind, // value: TabKind
    InTable,
    TableLevel,
    OutlineLevel,
    Direction, // value: Qt::LayoutDirection
    DefaultFont,
    DefaultTab,
    FontCharset,
    FontFamily, // value: FontFamily
    FontPitch,
    Red,
    Green,
    Blue,
};

enum class Underline { None, Single, Dotted, Dashed, DashDot, DashDotDot, Wave };
enum class Capitals { Mixed, All, Small };
enum class TabKind { Left, Right, Centre, Decimal };
enum class FontFamily { Any, Roman, Swiss, Modern, Script, Decorative };

struct Keyword
{
    std::string_view name;
    Kind kind;
    int value = 0;
};

// The table entry for a control word's name, or null for a word the reader
// does not know.
const Keyword *findKeyword(std::string_view name);

// Whether a word opens a destination. The reader reads "{\*\word" like
// "{\word" when it does; when it does not, or the word is unknown, the group
// is a destination the reader does not know and is skipped.
bool isDestination(Kind kind);

} // namespace Rtf
