#pragma once

#include "RtfKeywords.h"

#include <QList>
#include <QString>
#include <qnamespace.h>

// The character and paragraph formatting that an RTF group carries, in the
// reader's own terms; the document builder turns it into Qt's text formats.
namespace Rtf {

// Bounds on what a document may ask for. RTF puts no limit on numbers, so
// absurd ones are clamped or ignored rather than handed to the layout.
inline constexpr int kMaxTwips = 31680; // 22 inches, the largest measure Word accepts
inline constexpr int kDefaultHalfPoints = 24;
inline constexpr int kMaxFontId = 65535;

enum class VerticalPosition { Normal, Superscript, Subscript };

struct CharState
{
    int font = -1; // -1: the document's default font
    int halfPoints = kDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;
    Underline underline = Underline::None;
    VerticalPosition vertical = VerticalPosition::Normal;
    Capitals capitals = Capitals::Mixed;
    int foreground = -1; // colour table index, -1: none
    int background = -1;
    int underlineColour = -1;
};

struct TabStop
{
    int position; // twips from the left margin
    TabKind kind;
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
    TabKind nextTabKind = TabKind::Left;
    bool inTable = false;
    int headingLevel = 0;
    Qt::LayoutDirection direction = Qt::LayoutDirectionAuto;
};

// What text in a group looks like.
struct Format
{
    CharState chr;
    ParaState para;
    QString href; // the link of a field's result, if it has one
};

// Applies a character or paragraph formatting word to format. Returns false,
// leaving format as it was, for a word of any other kind.
bool applyFormat(Format &format, const Keyword &keyword, bool hasParam, qint64 param);

} // namespace Rtf
