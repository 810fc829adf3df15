#include "RtfReader.h"

#include "RtfDocumentBuilder.h"
#include "RtfKeywords.h"
#include "RtfRules.h"
#include "RtfState.h"
#include "RtfTables.h"
#include "RtfTokenizer.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextDocument>

#include <algorithm>
#include <vector>

// The reader works in stages: Rtf::Tokenizer splits the bytes into tokens
// and looks each control word up in the keyword table; the Parser below
// keeps the group stack and the destinations, and fills the font and colour
// tables; RtfDocumentBuilder puts the text into the QTextDocument.

namespace {

constexpr int kMaxFieldInstruction = 4096;
constexpr int kMaxUnicodeSkip = 1000;
constexpr int kDefaultTabTwips = 720;
constexpr qsizetype kMaxFileSize = qsizetype(64) * 1024 * 1024;

enum class Destination { Text, FontTable, ColorTable, FieldInstruction };

struct Group
{
    Rtf::Format format;
    Destination destination = Destination::Text;
    bool ownsDestination = false; // this group opened its destination
    bool listMarkerStart = false; // drop spaces before a list marker
    int unicodeSkip = 1;
};

class Parser
{
public:
    // Reads the root group, whose '{' is at offset start of data.
    Parser(QByteArrayView data, qsizetype start, QTextDocument *doc)
        : m_tokens(data, start + 1)
        , m_builder(doc, m_fonts, m_colours)
    {
    }

    void run();

private:
    // Tokens.
    void controlWord(const Rtf::Token &token);
    void controlSymbol(uchar symbol);
    void hexByte(const Rtf::Token &token);
    void byteText(uchar byte);

    // Groups.
    void openGroup();
    void closeGroup();
    Group &top() { return m_groups.back(); }
    const Group &top() const { return m_groups.back(); }
    void startSkipping();

    // Keywords.
    void keyword(const Rtf::Keyword &kw, bool hasParam, qint64 param);
    void textKeyword(const Rtf::Keyword &kw, bool hasParam, qint64 param);

    // Text.
    void character(char16_t c);
    void unicodeCharacter(char16_t c);
    Rtf::SymbolFont symbolFont() const;
    void flushRun() { m_builder.flush(top().format); }

    Rtf::Tokenizer m_tokens;
    Rtf::FontTable m_fonts;
    Rtf::ColourTable m_colours;
    RtfDocumentBuilder m_builder;

    std::vector<Group> m_groups;
    bool m_done = false; // the root group has closed
    int m_overflowDepth = 0; // groups past kMaxGroupDepth, sharing the top state
    bool m_skipping = false; // the group just opened is a destination to skip
    bool m_ignorablePending = false; // just read "\*"
    int m_unicodeSkipLeft = 0; // fallback characters still to drop after \u
    int m_defaultTab = kDefaultTabTwips;
    QString m_fieldInstruction;
    bool m_listMarkerShown = false;
};

void Parser::run()
{
    m_groups.reserve(RtfReader::kMaxGroupDepth + 1);
    m_groups.emplace_back();

    while (!m_done) {
        if (m_skipping) {
            m_skipping = false;
            if (m_tokens.skipGroup())
                closeGroup();
            continue;
        }
        const Rtf::Token token = m_tokens.next();
        switch (token.type) {
        case Rtf::Token::End:
            m_done = true;
            break;
        case Rtf::Token::GroupOpen:
            openGroup();
            break;
        case Rtf::Token::GroupClose:
            closeGroup();
            break;
        case Rtf::Token::ControlWord:
            controlWord(token);
            break;
        case Rtf::Token::ControlSymbol:
            controlSymbol(token.byte);
            break;
        case Rtf::Token::HexByte:
            m_ignorablePending = false;
            hexByte(token);
            break;
        case Rtf::Token::Text:
            m_ignorablePending = false;
            byteText(token.byte);
            break;
        }
    }

    m_builder.finish(top().format, m_defaultTab);
}

void Parser::controlWord(const Rtf::Token &token)
{
    const Rtf::Keyword *kw = token.keyword;

    // A control word stands for one character of the \u fallback text.
    if (m_unicodeSkipLeft > 0) {
        --m_unicodeSkipLeft;
        m_ignorablePending = false;
        return;
    }

    if (m_ignorablePending) {
        m_ignorablePending = false;
        // "{\*\word": a destination that readers which do not know it skip.
        // Those this reader knows (field instructions and results, the end
        // of a nested table row, ...) are read as if unmarked.
        if (!kw || !Rtf::isDestination(kw->kind)) {
            startSkipping();
            return;
        }
    }
    if (kw)
        keyword(*kw, token.hasParam, token.param);
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
        if (top().destination == Destination::Text) {
            m_builder.endParagraph(top().format);
            m_listMarkerShown = false;
        }
        break;
    default:
        break;
    }
}

void Parser::hexByte(const Rtf::Token &token)
{
    if (m_unicodeSkipLeft > 0) {
        --m_unicodeSkipLeft;
        return;
    }
    if (token.hasParam)
        character(Rtf::fromSymbolFont(symbolFont(), token.byte));
}

void Parser::byteText(uchar byte)
{
    if (m_unicodeSkipLeft > 0) {
        --m_unicodeSkipLeft;
        return;
    }
    character(Rtf::fromSymbolFont(symbolFont(), byte));
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
        href = Rtf::hyperlinkTarget(m_fieldInstruction);
    if (group.destination == Destination::FontTable)
        m_fonts.end();
    else if (group.destination == Destination::ColorTable)
        m_colours.end();
    m_groups.pop_back();
    // The link belongs to the enclosing \field group, where the result is.
    if (fieldEnds)
        top().format.href = href;
}

void Parser::startSkipping()
{
    flushRun();
    m_skipping = true;
}

void Parser::keyword(const Rtf::Keyword &kw, bool hasParam, qint64 param)
{
    using Rtf::Kind;
    // Words that open destinations work wherever they appear.
    switch (kw.kind) {
    case Kind::SkipDestination:
        startSkipping();
        return;
    case Kind::FontTable:
        flushRun();
        top().destination = Destination::FontTable;
        m_fonts.start();
        return;
    case Kind::ColorTable:
        flushRun();
        top().destination = Destination::ColorTable;
        m_colours.start();
        return;
    case Kind::FieldInstruction:
        flushRun();
        top().destination = Destination::FieldInstruction;
        top().ownsDestination = true;
        m_fieldInstruction.clear();
        return;
    case Kind::Binary: // its data is skipped already
        return;
    default:
        break;
    }

    const bool isText = kw.kind == Kind::Character || kw.kind == Kind::Unicode;
    switch (top().destination) {
    case Destination::FontTable:
        if (isText)
            textKeyword(kw, hasParam, param);
        else
            m_fonts.keyword(kw, hasParam, param);
        break;
    case Destination::ColorTable:
        m_colours.keyword(kw, param);
        break;
    case Destination::FieldInstruction:
        if (isText)
            textKeyword(kw, hasParam, param);
        break;
    case Destination::Text:
        textKeyword(kw, hasParam, param);
        break;
    }
}

void Parser::textKeyword(const Rtf::Keyword &kw, bool hasParam, qint64 param)
{
    using Rtf::Kind;
    Group &g = top();

    if (kw.kind != Kind::Character && kw.kind != Kind::Unicode)
        flushRun();
    if (Rtf::applyFormat(g.format, kw, hasParam, param))
        return;

    switch (kw.kind) {
    case Kind::Character:
        character(char16_t(kw.value));
        break;
    case Kind::Unicode: {
        if (!hasParam)
            break;
        const qint64 code = param < 0 ? param + 65536 : param;
        if (code > 0 && code <= 0xFFFF)
            unicodeCharacter(char16_t(code));
        m_unicodeSkipLeft = g.unicodeSkip;
        break;
    }
    case Kind::UnicodeSkip:
        if (hasParam)
            g.unicodeSkip = int(std::clamp<qint64>(param, 0, kMaxUnicodeSkip));
        break;
    case Kind::Field:
        g.format.href.clear();
        break;
    case Kind::ListMarker:
        // Writers add \pntext for old readers beside \listtext; show one.
        if (m_listMarkerShown)
            startSkipping();
        m_listMarkerShown = true;
        g.listMarkerStart = true;
        break;
    case Kind::NestedTableProperties:
        // Ends a row of a table inside a cell, which is shown flat.
        character(0x2028);
        startSkipping();
        break;
    case Kind::Paragraph:
        m_builder.endParagraph(g.format);
        m_listMarkerShown = false;
        break;
    case Kind::Cell:
        m_builder.endCell(g.format);
        m_listMarkerShown = false;
        break;
    case Kind::Row:
        m_builder.endRow(g.format);
        m_listMarkerShown = false;
        break;
    case Kind::RowDefaults:
        m_builder.startRowDefinition();
        break;
    case Kind::CellEdge:
        m_builder.addCellEdge();
        break;
    case Kind::DefaultFont:
        if (hasParam && param >= 0 && param <= Rtf::kMaxFontId)
            m_fonts.setDefaultFont(int(param));
        break;
    case Kind::DefaultTab:
        if (param > 0)
            m_defaultTab = int(std::min<qint64>(param, Rtf::kMaxTwips));
        break;
    default:
        break;
    }
}

Rtf::SymbolFont Parser::symbolFont() const
{
    const Rtf::Font *font = m_fonts.find(top().format.chr.font);
    return font ? font->symbol : Rtf::SymbolFont::None;
}

void Parser::unicodeCharacter(char16_t c)
{
    // Word writes symbol font glyphs as private-use characters U+F0xx.
    if (c >= 0xF000 && c <= 0xF0FF) {
        const Rtf::SymbolFont kind = symbolFont();
        if (kind != Rtf::SymbolFont::None)
            c = Rtf::fromSymbolFont(kind, uchar(c & 0xFF));
    }
    character(c);
}

void Parser::character(char16_t c)
{
    Group &g = top();
    switch (g.destination) {
    case Destination::Text:
        if (g.format.chr.hidden || (g.listMarkerStart && c == u' '))
            break;
        g.listMarkerStart = false;
        m_builder.addCharacter(c);
        break;
    case Destination::FontTable:
        m_fonts.character(c);
        break;
    case Destination::ColorTable:
        m_colours.character(c);
        break;
    case Destination::FieldInstruction:
        if (m_fieldInstruction.size() < kMaxFieldInstruction)
            m_fieldInstruction.append(QChar(c));
        break;
    }
}

} // namespace

bool RtfReader::read(const QByteArray &rtf, QTextDocument *doc, QString *error)
{
    if (!doc) {
        if (error)
            *error = QCoreApplication::translate("RtfReader", "No document to read into.");
        return false;
    }
    const qsizetype start = Rtf::documentStart(rtf);
    if (start < 0) {
        if (error)
            *error = QCoreApplication::translate("RtfReader", "This is not an RTF document.");
        return false;
    }

    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->clear();
    {
        Parser parser(rtf, start, doc);
        parser.run();
    }
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
