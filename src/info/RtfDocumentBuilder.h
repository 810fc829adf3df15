#pragma once

#include "RtfState.h"

#include <QString>
#include <QTextCursor>

class QTextDocument;
class QTextTable;

namespace Rtf {
class FontTable;
class ColourTable;
} // namespace Rtf

// Builds the QTextDocument that the RTF reader reads: text runs in their
// formats, paragraphs, and tables (as QTextTable). The reader says what the
// document holds, in the order it meets it, with the format in force.
class RtfDocumentBuilder
{
public:
    // The tables must outlive the builder; the reader fills them as it goes.
    RtfDocumentBuilder(QTextDocument *doc, const Rtf::FontTable &fonts,
                       const Rtf::ColourTable &colours);

    // A character of text, kept until flush(). Surrogates are paired, and
    // control characters other than tab are dropped.
    void addCharacter(char16_t c);
    // Inserts the characters kept so far in format. Call it before the
    // format changes.
    void flush(const Rtf::Format &format);

    void endParagraph(const Rtf::Format &format); // \par
    void endCell(const Rtf::Format &format); // \cell
    void endRow(const Rtf::Format &format); // \row
    void startRowDefinition(); // \trowd
    void addCellEdge(); // \cellx

    // Ends the document: formats the last paragraph and sets the distance
    // between default tab stops.
    void finish(const Rtf::Format &format, int defaultTabTwips);

private:
    void ensurePosition(const Rtf::Format &format, bool materializeBreak, bool forceTable = false);
    void applyBlockFormat(const Rtf::Format &format);
    void startTable();
    void nextRow();
    void enterCell();
    void leaveTable();
    QTextCharFormat charFormat(const Rtf::Format &format) const;
    QTextBlockFormat blockFormat(const Rtf::ParaState &para) const;

    QTextDocument *m_doc;
    QTextCursor m_cursor;
    const Rtf::FontTable &m_fonts;
    const Rtf::ColourTable &m_colours;

    QString m_run; // text read but not yet inserted
    char16_t m_highSurrogate = 0;
    bool m_pendingBreak = false; // the current block is finished; start a new one before more

    QTextTable *m_table = nullptr;
    int m_row = 0;
    int m_column = 0;
    bool m_rowOpen = false; // between \trowd and \row
    bool m_rowDone = false; // \row seen; the next cell starts a new row
    bool m_inCell = false;
    int m_cellCount = 0; // cells the last \trowd defined
};
