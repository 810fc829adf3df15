#pragma once

#include "RtfKeywords.h"
#include "RtfRules.h"

#include <QHash>
#include <QList>
#include <QString>

// The font and colour tables at the head of an RTF document, read word by
// word and character by character as the reader meets them.
namespace Rtf {

struct Font
{
    QString name;
    FontFamily family = FontFamily::Any;
    bool fixedPitch = false;
    SymbolFont symbol = SymbolFont::None;
};

class FontTable
{
public:
    // \fonttbl: a new table destination starts.
    void start();
    // A formatting word inside the table (\f, \fcharset, \froman, \fprq).
    void keyword(const Keyword &keyword, bool hasParam, qint64 param);
    // A character of the current entry's name; ';' ends the entry.
    void character(char16_t c);
    // The table's group ends: the last entry counts even without ';'.
    void end();

    // \deff: the font of text that names none.
    void setDefaultFont(int id);
    // The font with that number, the default font for -1; null when the
    // table has none such.
    const Font *find(int id) const;

private:
    void commit();

    QHash<int, Font> m_fonts;
    int m_defaultFont = -1;
    int m_id = -1;
    Font m_entry;
    int m_charset = 0;
};

struct Colour
{
    int red = 0;
    int green = 0;
    int blue = 0;
    bool automatic = true; // the entry gives no colour: the text's own
};

class ColourTable
{
public:
    // \colortbl: a new table destination starts.
    void start();
    // \red, \green and \blue inside the table.
    void keyword(const Keyword &keyword, qint64 param);
    // ';' ends an entry.
    void character(char16_t c);
    // The table's group ends: a last entry with components counts without ';'.
    void end();

    // The colour with that index; automatic when there is none.
    Colour at(int index) const;

private:
    void commit();

    QList<Colour> m_colours;
    Colour m_entry;
};

} // namespace Rtf
