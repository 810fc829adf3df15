#pragma once

#include <QByteArrayView>

#include <string_view>

namespace Rtf {

struct Keyword;

// One piece of RTF as the tokenizer reads it.
struct Token
{
    enum Type {
        End, // no more input
        GroupOpen, // '{'
        GroupClose, // '}'
        ControlWord, // "\word" or "\word-123"; the data of \bin is already skipped
        ControlSymbol, // '\' and one character other than a letter or '\''
        HexByte, // "\'hh"
        Text, // a byte of text; line breaks in the file are not text
    };

    Type type = End;
    std::string_view word; // ControlWord: the name, a view into the input
    const Keyword *keyword = nullptr; // ControlWord: the table's entry, if the word is known
    bool hasParam = false; // ControlWord: a number followed; HexByte: a hex digit followed
    qint64 param = 0; // ControlWord: the number, bounded
    uchar byte = 0; // ControlSymbol: the symbol; HexByte and Text: the byte
};

// Splits RTF into tokens. QtCore only; knows nothing of groups' meaning.
// Any input is safe: numbers are bounded, and \bin counts cannot run past
// the end. The input must outlive the tokenizer and its tokens.
class Tokenizer
{
public:
    // Reads data from offset start.
    Tokenizer(QByteArrayView data, qsizetype start);

    Token next();

    // Skips the rest of the group whose '{' was the last token read, nested
    // groups and binary data included. Returns true when its '}' was read,
    // false when the input ended first.
    bool skipGroup();

private:
    void readWord(Token &token);
    void skipBinary(qint64 count);

    const uchar *m_data;
    qsizetype m_size;
    qsizetype m_pos;
};

// Where "{\rtf" starts, after white space and a UTF-8 byte order mark; -1
// when data is not RTF.
qsizetype documentStart(QByteArrayView data);

} // namespace Rtf
