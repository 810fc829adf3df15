#pragma once

#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <functional>

// Reads comma-separated text as RFC 4180 describes it and as real password
// exports write it: cells in double quotes may hold commas, line breaks and
// doubled quotes; lines end with CR LF, LF or CR; a UTF-8 byte-order mark at
// the start is passed over; the last line may lack its line break. The bytes
// arrive in pieces of any size, so a file is read a chunk at a time and no
// more than one row is held at once.
//
// The text must be UTF-8 without a 0 byte (a 0 byte marks a binary file, and
// no text export holds one); UTF-16 text is told apart from binary data. A
// row may hold at most kMostColumns cells and kLongestRow characters.
// Anything else stops the reading with a message that says what is wrong and
// on which line.
class CsvReader
{
public:
    static constexpr int kMostColumns = 100;
    static constexpr qsizetype kLongestRow = qsizetype(1) << 20;

    // Called with the cells of each row and the row's number (the first row
    // is 1; an empty line counts as a row but is not handed over). Returning
    // false stops the reading without an error.
    using RowHandler = std::function<bool(const QStringList &cells, int row)>;

    explicit CsvReader(RowHandler handler);

    // The next bytes. False once the reading has stopped: failed() tells
    // whether for an error.
    bool read(QByteArrayView bytes);
    // The end of the text: hands over a last row without a line break.
    // False when the text cannot be read.
    bool finish();

    bool failed() const { return !m_error.isEmpty(); }
    // What is wrong, for the user.
    const QString &error() const { return m_error; }

private:
    enum class State { CellStart, Unquoted, Quoted, AfterQuote };

    void parse(QStringView text);
    void append(const QChar *from, const QChar *to);
    void endCell();
    void endRow();
    void countLineBreak(char16_t c);
    void fail(const QString &message);

    RowHandler m_handler;
    QStringDecoder m_decoder;
    QStringList m_cells;
    QString m_cell;
    State m_state = State::CellStart;
    qsizetype m_rowLength = 0;
    bool m_rowStarted = false;
    bool m_afterCr = false;
    bool m_lineAfterCr = false;
    bool m_stopped = false;
    int m_row = 1;
    int m_line = 1;
    int m_quoteLine = 0;
    // The last bytes read, to tell whether the text ends inside a UTF-8
    // sequence.
    QByteArray m_tail;
    // How many bytes were read before the present piece.
    qint64 m_bytesRead = 0;
    QString m_error;
};
