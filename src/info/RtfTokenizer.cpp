#include "RtfTokenizer.h"

#include "RtfKeywords.h"

#include <algorithm>

namespace Rtf {

namespace {

constexpr qint64 kNumberCeiling = qint64(1) << 40;

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

} // namespace

Tokenizer::Tokenizer(QByteArrayView data, qsizetype start)
    : m_data(reinterpret_cast<const uchar *>(data.data()))
    , m_size(data.size())
    , m_pos(std::clamp<qsizetype>(start, 0, data.size()))
{
}

Token Tokenizer::next()
{
    Token token;
    while (m_pos < m_size) {
        const uchar c = m_data[m_pos++];
        switch (c) {
        case '{':
            token.type = Token::GroupOpen;
            return token;
        case '}':
            token.type = Token::GroupClose;
            return token;
        case '\r':
        case '\n':
            continue;
        case '\\':
            break;
        default:
            token.type = Token::Text;
            token.byte = c;
            return token;
        }

        if (m_pos >= m_size)
            break; // a lone backslash at the end
        const uchar symbol = m_data[m_pos];
        if (isLetter(symbol)) {
            readWord(token);
            return token;
        }
        ++m_pos;
        if (symbol == '\'') {
            token.type = Token::HexByte;
            int value = 0;
            for (int digits = 0; digits < 2 && m_pos < m_size; ++digits) {
                const int h = hexValue(m_data[m_pos]);
                if (h < 0)
                    break;
                value = value * 16 + h;
                token.hasParam = true;
                ++m_pos;
            }
            token.byte = uchar(value);
            return token;
        }
        token.type = Token::ControlSymbol;
        token.byte = symbol;
        return token;
    }
    return token;
}

void Tokenizer::readWord(Token &token)
{
    token.type = Token::ControlWord;
    const qsizetype nameStart = m_pos;
    while (m_pos < m_size && isLetter(m_data[m_pos]))
        ++m_pos;
    token.word = std::string_view(reinterpret_cast<const char *>(m_data + nameStart),
                                  size_t(m_pos - nameStart));
    token.keyword = findKeyword(token.word);

    bool negative = false;
    if (m_pos + 1 < m_size && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    // Digits past the ceiling are read but no longer counted.
    while (m_pos < m_size && isDigit(m_data[m_pos])) {
        token.hasParam = true;
        if (token.param < kNumberCeiling)
            token.param = token.param * 10 + (m_data[m_pos] - '0');
        ++m_pos;
    }
    if (negative)
        token.param = -token.param;
    if (m_pos < m_size && m_data[m_pos] == ' ')
        ++m_pos; // the delimiter belongs to the word

    if (token.keyword && token.keyword->kind == Kind::Binary)
        skipBinary(token.param);
}

void Tokenizer::skipBinary(qint64 count)
{
    if (count > 0)
        m_pos += qsizetype(std::min<qint64>(count, m_size - m_pos));
}

bool Tokenizer::skipGroup()
{
    qint64 depth = 1;
    while (m_pos < m_size) {
        const uchar c = m_data[m_pos++];
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0)
                return true;
        } else if (c == '\\' && m_pos < m_size) {
            if (!isLetter(m_data[m_pos])) {
                ++m_pos; // an escaped brace or backslash is not structure
                continue;
            }
            Token word;
            readWord(word); // skips the data of \bin
        }
    }
    return false;
}

qsizetype documentStart(QByteArrayView data)
{
    qsizetype i = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < data.size()
           && (data.at(i) == ' ' || data.at(i) == '\t' || data.at(i) == '\r' || data.at(i) == '\n'))
        ++i;
    return data.sliced(i).startsWith("{\\rtf") ? i : -1;
}

} // namespace Rtf
