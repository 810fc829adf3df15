#include "CsvReader.h"

#include "vault/Wipe.h"

#include <QScopeGuard>

#include <cstring>

namespace {

// Whether the bytes end part-way through a UTF-8 sequence.
bool endsInsideSequence(QByteArrayView bytes)
{
    int continuation = 0;
    for (qsizetype i = bytes.size() - 1; i >= 0 && continuation < 4; --i) {
        const auto byte = uchar(bytes[i]);
        if ((byte & 0xC0) == 0x80) {
            ++continuation;
            continue;
        }
        const int length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return continuation + 1 < length;
    }
    return false;
}

// Whether bytes at the start of a file are UTF-16 text: they begin with its
// byte-order mark, or their 0 bytes (the high halves of plain letters, digits
// and punctuation) all stand in odd places or all in even ones.
bool looksLikeUtf16(QByteArrayView start)
{
    if (start.startsWith("\xFF\xFE") || start.startsWith("\xFE\xFF"))
        return true;
    constexpr qsizetype kLooked = 512;
    const QByteArrayView looked = start.first(std::min(start.size(), kLooked));
    qsizetype zeros[2] = {0, 0};
    for (qsizetype i = 0; i < looked.size(); ++i)
        zeros[i % 2] += looked[i] == 0;
    const qsizetype many = std::max(zeros[0], zeros[1]);
    const qsizetype few = std::min(zeros[0], zeros[1]);
    // Binary data has 0 bytes in both places.
    return many >= 2 && many >= looked.size() / 16 && few * 16 <= many;
}

} // namespace

CsvReader::CsvReader(RowHandler handler)
    : m_handler(std::move(handler))
    , m_decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInvalidToNull)
{
}

void CsvReader::fail(const QString &message)
{
    if (m_error.isEmpty())
        m_error = message;
    m_stopped = true;
}

bool CsvReader::read(QByteArrayView bytes)
{
    if (m_stopped)
        return false;
    // The text up to a 0 byte or a byte that is not UTF-8 is read first, so
    // that the message can name the line where the trouble starts.
    const auto *nul = static_cast<const char *>(std::memchr(bytes.data(), 0, size_t(bytes.size())));
    const QByteArrayView text = nul ? bytes.first(nul - bytes.data()) : bytes;
    QString decoded = m_decoder.decode(text);
    // It held the file's passwords.
    const auto wipeDecoded = qScopeGuard([&decoded] { wipe(decoded); });
    // Bytes that are not UTF-8 decode as 0, which the text itself no
    // longer holds.
    const qsizetype invalid = m_decoder.hasError() ? decoded.indexOf(QChar(0)) : -1;
    parse(invalid >= 0 ? QStringView(decoded).first(invalid) : QStringView(decoded));
    if (m_stopped)
        return false;
    if ((nul || invalid >= 0 || m_decoder.hasError()) && m_bytesRead == 0
        && looksLikeUtf16(bytes)) {
        fail(QStringLiteral("The file is UTF-16 text, not UTF-8. Save it again as UTF-8 and "
                            "import it once more."));
        return false;
    }
    if (nul) {
        // A 0 byte is no text's; bytes that are not UTF-8 before it are part
        // of the same binary data.
        fail(QStringLiteral("The file holds binary data (from line %1 on), not text.").arg(m_line));
        return false;
    }
    if (invalid >= 0 || m_decoder.hasError()) {
        fail(QStringLiteral("The file is not UTF-8 text: on line %1 it holds bytes that are not "
                            "UTF-8. Save it again as UTF-8 and import it once more.")
                 .arg(m_line));
        return false;
    }
    // Only the last few bytes are kept: a copy of the whole piece would
    // copy every chunk once more, passwords included.
    constexpr qsizetype kTail = 4;
    m_bytesRead += bytes.size();
    if (bytes.size() >= kTail)
        m_tail = bytes.last(kTail).toByteArray();
    else
        m_tail = (m_tail + bytes.toByteArray()).right(kTail);
    return true;
}

bool CsvReader::finish()
{
    if (m_stopped)
        return !failed();
    if (endsInsideSequence(m_tail)) {
        fail(QStringLiteral("The file is not UTF-8 text: it ends part-way through a character."));
        return false;
    }
    switch (m_state) {
    case State::Quoted:
        fail(QStringLiteral("The quote that opens a cell on line %1 is never closed.")
                 .arg(m_quoteLine));
        return false;
    case State::CellStart:
        if (!m_rowStarted)
            break;
        [[fallthrough]];
    case State::Unquoted:
    case State::AfterQuote:
        endRow();
        break;
    }
    m_stopped = true;
    return !failed();
}

void CsvReader::countLineBreak(char16_t c)
{
    if (c == u'\r')
        ++m_line;
    else if (c == u'\n' && !m_lineAfterCr)
        ++m_line;
    m_lineAfterCr = c == u'\r';
}

void CsvReader::append(const QChar *from, const QChar *to)
{
    m_rowLength += to - from;
    if (m_rowLength > kLongestRow) {
        fail(QStringLiteral("The row on line %1 is longer than %2 characters: this is not a "
                            "password export.")
                 .arg(m_line)
                 .arg(kLongestRow));
        return;
    }
    m_cell.append(QStringView(from, to));
}

void CsvReader::endCell()
{
    if (m_cells.size() >= kMostColumns) {
        fail(QStringLiteral("The row on line %1 has more than %2 columns: this is not a "
                            "password export.")
                 .arg(m_line)
                 .arg(kMostColumns));
        return;
    }
    m_cells.append(m_cell);
    m_cell.clear();
    m_state = State::CellStart;
}

void CsvReader::endRow()
{
    endCell();
    if (m_stopped)
        return;
    // A line with nothing on it is no row of data.
    const bool empty = m_cells.size() == 1 && m_cells.front().isEmpty();
    if (!empty && !m_handler(m_cells, m_row))
        m_stopped = true;
    ++m_row;
    m_cells.clear();
    m_rowLength = 0;
    m_rowStarted = false;
}

void CsvReader::parse(QStringView text)
{
    const QChar *p = text.begin();
    const QChar *const end = text.end();
    while (p < end && !m_stopped) {
        const char16_t c = p->unicode();
        if (m_afterCr) {
            // CR LF is one line break.
            m_afterCr = false;
            if (c == u'\n') {
                countLineBreak(c);
                ++p;
                continue;
            }
        }
        if (c != u'\r' && c != u'\n')
            m_lineAfterCr = false;
        switch (m_state) {
        case State::Quoted: {
            const QChar *q = p;
            while (q < end && *q != u'"') {
                countLineBreak(q->unicode());
                ++q;
            }
            append(p, q);
            p = q;
            if (p < end) {
                m_state = State::AfterQuote;
                ++p;
            }
            continue;
        }
        case State::AfterQuote:
            if (c == u'"') {
                // A doubled quote stands for one.
                append(p, p + 1);
                m_state = State::Quoted;
                ++p;
                continue;
            }
            if (c != u',' && c != u'\r' && c != u'\n') {
                fail(QStringLiteral("On line %1 a quoted cell goes on after its closing quote: "
                                    "a quote inside a quoted cell must be doubled.")
                         .arg(m_line));
                return;
            }
            break;
        case State::CellStart:
            m_rowStarted = true;
            if (c == u'"') {
                m_state = State::Quoted;
                m_quoteLine = m_line;
                ++p;
                continue;
            }
            m_state = State::Unquoted;
            [[fallthrough]];
        case State::Unquoted: {
            // Up to the end of the cell; a quote inside an unquoted cell is
            // taken as it stands, as spreadsheets read it.
            const QChar *q = p;
            while (q < end && *q != u',' && *q != u'\r' && *q != u'\n')
                ++q;
            append(p, q);
            p = q;
            if (p == end)
                continue;
            break;
        }
        }
        if (m_stopped)
            return;
        // p stands on a comma or a line break that ends the cell.
        const char16_t separator = p->unicode();
        ++p;
        if (separator == u',') {
            endCell();
            continue;
        }
        countLineBreak(separator);
        m_afterCr = separator == u'\r';
        endRow();
    }
}
