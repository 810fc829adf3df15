#include "RtfTables.h"

#include "RtfState.h"

#include <algorithm>

namespace Rtf {

namespace {

constexpr int kMaxFontName = 256;

} // namespace

void FontTable::start()
{
    m_id = -1;
    m_entry = {};
}

void FontTable::keyword(const Keyword &keyword, bool hasParam, qint64 param)
{
    switch (keyword.kind) {
    case Kind::Font:
        commit();
        m_id = hasParam && param >= 0 && param <= kMaxFontId ? int(param) : -1;
        m_entry = {};
        m_charset = 0;
        break;
    case Kind::FontCharset:
        m_charset = int(std::clamp<qint64>(param, 0, 255));
        break;
    case Kind::FontFamily:
        m_entry.family = FontFamily(keyword.value);
        break;
    case Kind::FontPitch:
        m_entry.fixedPitch = param == 1;
        break;
    default:
        break;
    }
}

void FontTable::character(char16_t c)
{
    if (c == u';')
        commit();
    else if (m_entry.name.size() < kMaxFontName)
        m_entry.name.append(QChar(c));
}

void FontTable::end()
{
    commit();
}

void FontTable::commit()
{
    const QString name = m_entry.name.trimmed();
    if (m_id >= 0 && !name.isEmpty()) {
        Font font = m_entry;
        font.name = name;
        if (name.startsWith(QLatin1String("Wingdings"), Qt::CaseInsensitive))
            font.symbol = SymbolFont::Wingdings;
        else if (m_charset == 2 || name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0)
            font.symbol = SymbolFont::Symbol;
        m_fonts.insert(m_id, font);
    }
    m_entry.name.clear();
}

void FontTable::setDefaultFont(int id)
{
    m_defaultFont = id;
}

const Font *FontTable::find(int id) const
{
    const auto it = m_fonts.constFind(id < 0 ? m_defaultFont : id);
    return it == m_fonts.cend() ? nullptr : &*it;
}

void ColourTable::start()
{
    m_entry = {};
}

void ColourTable::keyword(const Keyword &keyword, qint64 param)
{
    const int component = int(std::clamp<qint64>(param, 0, 255));
    switch (keyword.kind) {
    case Kind::Red:
        m_entry.red = component;
        break;
    case Kind::Green:
        m_entry.green = component;
        break;
    case Kind::Blue:
        m_entry.blue = component;
        break;
    default:
        return;
    }
    m_entry.automatic = false;
}

void ColourTable::character(char16_t c)
{
    if (c == u';')
        commit();
}

void ColourTable::end()
{
    if (!m_entry.automatic)
        commit();
}

void ColourTable::commit()
{
    m_colours.append(m_entry);
    m_entry = {};
}

Colour ColourTable::at(int index) const
{
    if (index < 0 || index >= m_colours.size())
        return {};
    return m_colours.at(index);
}

} // namespace Rtf
