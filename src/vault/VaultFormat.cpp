#include "VaultFormat.h"

#include "CodePage.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr uchar kUntouchedByte = 0x80;
constexpr QStringView kSeparatorText = u"|||";
constexpr char kRawBar = char(0xFC);

constexpr uchar toggled(uchar byte)
{
    return byte == kUntouchedByte ? byte : uchar(byte ^ 0x80);
}

// The plain character for each byte of the file, transform and code page in
// one step.
const std::array<char16_t, 256> &decodeTable()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t {};
        for (int byte = 0; byte < 256; ++byte)
            t[byte] = CodePage::toUnicode(toggled(uchar(byte)));
        return t;
    }();
    return table;
}

void appendEncoded(char *&out, QStringView plain)
{
    for (QChar c : plain) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            *out++ = char(u | 0x80);
            continue;
        }
        const int byte = CodePage::fromUnicode(u);
        *out++ = char(toggled(uchar(byte < 0 ? '?' : byte)));
    }
}

// Where "|||" stands in a raw line (0xFC 0xFC 0xFC after the transform), from
// a position on; -1 when it does not.
qsizetype findRawSeparator(QByteArrayView raw, qsizetype from)
{
    const char *data = raw.data();
    const qsizetype size = raw.size();
    while (from + 3 <= size) {
        const auto *bar
            = static_cast<const char *>(memchr(data + from, kRawBar, size_t(size - from - 2)));
        if (!bar)
            return -1;
        if (bar[1] == kRawBar && bar[2] == kRawBar)
            return bar - data;
        from = bar - data + 1;
    }
    return -1;
}

void appendLineEnd(char *&out)
{
    *out++ = '\r';
    *out++ = '\n';
}

// Decodes raw bytes onto the end of a text.
void appendDecoded(QString &text, QByteArrayView raw)
{
    if (raw.isEmpty())
        return;
    const auto &table = decodeTable();
    const qsizetype old = text.size();
    text.resize(old + raw.size());
    char16_t *out = reinterpret_cast<char16_t *>(text.data()) + old;
    for (char b : raw)
        *out++ = table[uchar(b)];
}

// How many fields an entry's line holds: as many as it held in the file, or
// as its texts need, whichever is more.
int fieldsToWrite(const VaultEntry &e)
{
    const int needed = !e.location.isEmpty() ? 3 : !e.password.isEmpty() ? 2 : 1;
    return std::clamp(std::max(e.fieldsInFile, needed), 1, 3);
}

qsizetype encodedEntrySize(const VaultEntry &e)
{
    return e.username.size() + e.password.size() + e.location.size()
        + (fieldsToWrite(e) - 1) * kSeparatorText.size();
}

void appendEncodedEntry(char *&out, const VaultEntry &e)
{
    const int fields = fieldsToWrite(e);
    appendEncoded(out, e.username);
    if (fields >= 2) {
        appendEncoded(out, kSeparatorText);
        appendEncoded(out, e.password);
    }
    if (fields == 3) {
        appendEncoded(out, kSeparatorText);
        appendEncoded(out, e.location);
    }
}

} // namespace

namespace VaultFormat {

QString toggleHighBit(QStringView text)
{
    QString result(text.size(), Qt::Uninitialized);
    QChar *out = result.data();
    for (QChar c : text) {
        const int code = CodePage::fromUnicode(c.unicode());
        // A character outside the code page has no code to toggle; it is
        // kept as it is (canStore refuses such text before it is saved).
        *out++ = code < 0 ? c : QChar(CodePage::toUnicode(toggled(uchar(code))));
    }
    return result;
}

QByteArray toggleHighBit(QByteArrayView bytes)
{
    QByteArray result(bytes.size(), Qt::Uninitialized);
    char *out = result.data();
    for (char b : bytes)
        *out++ = char(toggled(uchar(b)));
    return result;
}

bool canStore(QStringView text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0 || u == 0x8D || CodePage::fromUnicode(u) < 0)
            return false;
    }
    return true;
}

QByteArray encodeLine(QStringView plain)
{
    QByteArray raw(plain.size(), Qt::Uninitialized);
    char *out = raw.data();
    appendEncoded(out, plain);
    return raw;
}

QString decodeLine(QByteArrayView raw)
{
    const auto &table = decodeTable();
    QString plain(raw.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(plain.data());
    for (char b : raw)
        *out++ = table[uchar(b)];
    return plain;
}

QByteArrayView firstLine(QByteArrayView data)
{
    QByteArrayView line;
    forEachLine(data, [&line](QByteArrayView l) {
        line = l;
        return false;
    });
    return line;
}

bool isSkippedLine(QByteArrayView raw)
{
    return raw.isEmpty() || raw == QByteArrayView(" ");
}

VaultEntry parseEntryLine(QByteArrayView raw)
{
    VaultEntry entry;
    const qsizetype first = findRawSeparator(raw, 0);
    if (first < 0) {
        entry.username = decodeLine(raw);
        entry.fieldsInFile = 1;
        return entry;
    }
    entry.username = decodeLine(raw.first(first));
    const qsizetype passwordStart = first + kSeparatorText.size();
    const qsizetype second = findRawSeparator(raw, passwordStart);
    if (second < 0) {
        entry.password = decodeLine(raw.sliced(passwordStart));
        entry.fieldsInFile = 2;
        return entry;
    }
    entry.password = decodeLine(raw.sliced(passwordStart, second - passwordStart));
    entry.location = decodeLine(raw.sliced(second + kSeparatorText.size()));
    return entry;
}

QByteArray masterOnlyContent(QStringView masterPassword)
{
    QByteArray content(masterPassword.size() + kLineEnd.size(), Qt::Uninitialized);
    char *out = content.data();
    appendEncoded(out, masterPassword);
    appendLineEnd(out);
    return content;
}

QByteArray savedContent(QStringView masterPassword, std::span<const VaultEntry> entries)
{
    const qsizetype lineEnd = kLineEnd.size();
    qsizetype size = masterPassword.size() + lineEnd + lineEnd;
    for (const VaultEntry &e : entries)
        size += encodedEntrySize(e) + lineEnd;

    QByteArray content(size, Qt::Uninitialized);
    char *out = content.data();
    appendEncoded(out, masterPassword);
    appendLineEnd(out);
    for (const VaultEntry &e : entries) {
        appendEncodedEntry(out, e);
        appendLineEnd(out);
    }
    appendLineEnd(out);
    Q_ASSERT(out == content.data() + content.size());
    return content;
}

namespace {

// One-character fields, the commonest tiny ones, share constant text rather
// than take a block of memory each.
void shareOneCharacterFields(VaultEntry &entry)
{
    static const auto characters = [] {
        std::array<char16_t, 256> table {};
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = char16_t(i);
        return table;
    }();
    for (QString *field : {&entry.username, &entry.password, &entry.location}) {
        if (field->size() == 1 && field->front().unicode() < characters.size()) {
            *field = QString::fromRawData(
                reinterpret_cast<const QChar *>(&characters[field->front().unicode()]), 1);
        }
    }
}

// What a field's text takes beside its characters: the string's header and
// the allocator's own.
constexpr qint64 kStringOverhead = 32;

} // namespace

void LoadCost::read(QByteArrayView bytes)
{
    m_lines.split(bytes, [this](QByteArrayView part, bool lineEnds) {
        if (m_lineSize == 0 && !part.isEmpty())
            m_lineFirst = part.front();
        m_lineSize += part.size();
        if (lineEnds)
            endLine();
        return true;
    });
}

void LoadCost::finish()
{
    if (m_lineSize > 0)
        endLine();
}

void LoadCost::endLine()
{
    const bool skipped = m_lineSize == 0 || (m_lineSize == 1 && m_lineFirst == ' ');
    if (m_inFirstLine) {
        m_inFirstLine = false;
    } else if (!skipped) {
        ++m_entries;
        m_bytes += qint64(sizeof(VaultEntry));
        // Characters take two bytes each; a field of one takes none.
        if (m_lineSize > 1)
            m_bytes += 2 * m_lineSize + 3 * kStringOverhead;
    }
    m_lineSize = 0;
}

void EntryReader::read(QByteArrayView bytes)
{
    m_lines.split(bytes, [this](QByteArrayView line, bool lineEnds) {
        if (m_inFirstLine) {
            // The master password is not an entry and is not kept.
            m_inFirstLine = !lineEnds;
        } else if (lineEnds && m_partialSize == 0) {
            addLine(line);
        } else {
            addPartOfLine(line);
            if (lineEnds)
                endPartialLine();
        }
        return true;
    });
}

std::vector<VaultEntry> EntryReader::finish()
{
    if (m_partialSize > 0)
        endPartialLine();
    return std::move(m_entries);
}

void EntryReader::addLine(QByteArrayView line)
{
    if (!isSkippedLine(line)) {
        m_entries.push_back(parseEntryLine(line));
        shareOneCharacterFields(m_entries.back());
    }
}

QString &EntryReader::partialField()
{
    switch (m_partialField) {
    case 0:
        return m_partial.username;
    case 1:
        return m_partial.password;
    default:
        return m_partial.location;
    }
}

// Splits the fields as parseEntryLine does, as the bytes come: a run of raw
// bars is held back until it either makes a separator or is broken by
// another byte, which makes it text.
void EntryReader::addPartOfLine(QByteArrayView part)
{
    if (part.isEmpty())
        return;
    if (m_partialSize == 0)
        m_partialFirst = part.front();
    m_partialSize += part.size();

    const char *p = part.data();
    const char *const end = p + part.size();
    while (p < end) {
        if (m_partialField == 2) {
            appendDecoded(m_partial.location, QByteArrayView(p, end - p));
            return;
        }
        while (m_pendingBars > 0 && m_pendingBars < 3 && p < end && *p == kRawBar) {
            ++m_pendingBars;
            ++p;
        }
        if (m_pendingBars == 3) {
            m_pendingBars = 0;
            ++m_partialField;
            continue;
        }
        if (p == end)
            return;
        if (m_pendingBars > 0) {
            partialField().append(kSeparatorText.first(m_pendingBars));
            m_pendingBars = 0;
        }
        const auto *bar = static_cast<const char *>(memchr(p, kRawBar, size_t(end - p)));
        const char *const stop = bar ? bar : end;
        appendDecoded(partialField(), QByteArrayView(p, stop - p));
        p = stop;
        if (bar) {
            m_pendingBars = 1;
            ++p;
        }
    }
}

void EntryReader::endPartialLine()
{
    if (m_pendingBars > 0)
        partialField().append(kSeparatorText.first(m_pendingBars));
    const bool skipped = m_partialSize == 1 && m_partialFirst == ' ';
    if (!skipped) {
        m_partial.fieldsInFile = m_partialField + 1;
        // The fields grew as the bytes came; give back what they did not use.
        m_partial.username.squeeze();
        m_partial.password.squeeze();
        m_partial.location.squeeze();
        shareOneCharacterFields(m_partial);
        m_entries.push_back(std::move(m_partial));
    }
    m_partial = VaultEntry();
    m_partialSize = 0;
    m_partialField = 0;
    m_pendingBars = 0;
}

} // namespace VaultFormat
