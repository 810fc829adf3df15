#include "VaultFormat.h"

#include "CodePage.h"

#include <array>
#include <cstring>

namespace {

constexpr uchar kUntouchedByte = 0x80;
constexpr QStringView kSeparatorText = u"|||";

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
    constexpr char kRawBar = char(0xFC);
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
        return entry;
    }
    entry.username = decodeLine(raw.first(first));
    const qsizetype passwordStart = first + kSeparatorText.size();
    const qsizetype second = findRawSeparator(raw, passwordStart);
    if (second < 0) {
        entry.password = decodeLine(raw.sliced(passwordStart));
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
    const qsizetype separators = 2 * kSeparator.size();
    qsizetype size = masterPassword.size() + lineEnd + lineEnd;
    for (const VaultEntry &e : entries)
        size += e.username.size() + e.password.size() + e.location.size() + separators + lineEnd;

    QByteArray content(size, Qt::Uninitialized);
    char *out = content.data();
    appendEncoded(out, masterPassword);
    appendLineEnd(out);
    for (const VaultEntry &e : entries) {
        appendEncoded(out, e.username);
        appendEncoded(out, kSeparatorText);
        appendEncoded(out, e.password);
        appendEncoded(out, kSeparatorText);
        appendEncoded(out, e.location);
        appendLineEnd(out);
    }
    appendLineEnd(out);
    Q_ASSERT(out == content.data() + content.size());
    return content;
}

} // namespace VaultFormat
