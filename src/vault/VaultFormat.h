#pragma once

#include <QByteArray>
#include <QString>

#include <span>

// The three fields of an entry, in the order the file, the list columns and
// the editor's boxes give them.
enum class Field { Username = 0, Password = 1, Location = 2 };
inline constexpr int kFieldCount = 3;
inline constexpr Field kFields[kFieldCount] = {Field::Username, Field::Password, Field::Location};

struct VaultEntry
{
    QString username;
    QString password;
    QString location;

    const QString &field(Field which) const { return this->*member(which); }
    QString &field(Field which) { return this->*member(which); }

    friend bool operator==(const VaultEntry &, const VaultEntry &) = default;

private:
    static constexpr QString VaultEntry::*member(Field which)
    {
        constexpr QString VaultEntry::*members[kFieldCount]
            = {&VaultEntry::username, &VaultEntry::password, &VaultEntry::location};
        return members[int(which)];
    }
};

// The bytes of the vault file. Line 1 holds the master password, every
// further line one entry whose fields are joined by "|||"; each line is
// stored in Windows-1252 with the top bit of every byte but 0x80 inverted,
// and ends with CR LF. The transform hides the text from a casual look; it is
// not encryption.
namespace VaultFormat {

inline constexpr QLatin1StringView kSeparator {"|||"};
inline constexpr QByteArrayView kLineEnd {"\r\n"};

// Inverts the top bit of each character's code in the code page, except for
// code 128, which stays as it is. The transform is its own inverse.
QString toggleHighBit(QStringView text);
QByteArray toggleHighBit(QByteArrayView bytes);

// Whether the file can hold the text and give it back unchanged: it cannot
// hold the characters 0 and 0x8D (they would read back as another character
// or break the line) nor any character outside Windows-1252.
bool canStore(QStringView text);

// A plain text as it stands in the file (without the line end), and back.
QByteArray encodeLine(QStringView plain);
QString decodeLine(QByteArrayView raw);

// Calls f(line) for each line of the file: a line ends at a CR, an LF right
// after that CR belongs to the line break, the end of the data ends the last
// line, and an LF anywhere else is data. Stops early when f returns false.
template<typename F> void forEachLine(QByteArrayView data, F &&f)
{
    qsizetype start = 0;
    const qsizetype size = data.size();
    while (start < size) {
        const char *begin = data.data() + start;
        const auto *cr = static_cast<const char *>(memchr(begin, '\r', size_t(size - start)));
        const qsizetype end = cr ? cr - data.data() : size;
        if (!f(data.sliced(start, end - start)))
            return;
        start = end + 1;
        if (start < size && data[start] == '\n')
            ++start;
    }
}

// The raw first line; empty for an empty file.
QByteArrayView firstLine(QByteArrayView data);

// Entry lines that are exactly empty or a single space hold no entry.
bool isSkippedLine(QByteArrayView raw);

// The fields of one raw entry line. A line with fewer than three fields gives
// empty ones for those missing; the location keeps everything after the
// second separator, further separators included, so nothing is lost.
VaultEntry parseEntryLine(QByteArrayView raw);

// The bytes of a new vault holding only the master password.
QByteArray masterOnlyContent(QStringView masterPassword);

// The bytes of a saved vault: the master password line, one line per entry,
// then an empty line.
QByteArray savedContent(QStringView masterPassword, std::span<const VaultEntry> entries);

} // namespace VaultFormat
