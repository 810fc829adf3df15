#pragma once

#include <QByteArray>
#include <QString>

#include <cstring>
#include <span>
#include <vector>

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
    // How many fields the entry's line held in the file. A line with fewer
    // than three (no separator, or one) is written back in that same shape
    // for as long as the fields it lacked stay empty, so that a vault saves
    // back byte for byte as it was read. Entries made in the program hold
    // three.
    int fieldsInFile = 3;

    const QString &field(Field which) const { return this->*member(which); }
    QString &field(Field which) { return this->*member(which); }

    // Two entries are equal when their texts are; the shape of the line they
    // came from does not count.
    friend bool operator==(const VaultEntry &a, const VaultEntry &b)
    {
        return a.username == b.username && a.password == b.password && a.location == b.location;
    }

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

// The most entries a vault holds.
inline constexpr int kMostEntries = 32767;

// Inverts the top bit of each character's code in the code page, except for
// code 128, which stays as it is. The transform undoes itself for every code
// but 0: 0 and 128 both become 128, which reads back as 128. The writers
// never store a 0 (canStore refuses it), so every line they write reads back
// unchanged; a 0 byte that a file holds reads as 128 (the euro sign).
QString toggleHighBit(QStringView text);
QByteArray toggleHighBit(QByteArrayView bytes);

// Whether the file can hold the text and give it back unchanged: it cannot
// hold the characters 0 and 0x8D (they would read back as another character
// or break the line) nor any character outside Windows-1252.
bool canStore(QStringView text);

// A plain text as it stands in the file (without the line end), and back.
QByteArray encodeLine(QStringView plain);
QString decodeLine(QByteArrayView raw);

// Splits the bytes of a file into lines as they are handed over, in any
// pieces: a line ends at a CR, an LF right after that CR belongs to the line
// break (also when it comes first in the next piece), the end of the data
// ends the last line, and an LF anywhere else is data.
class LineSplitter
{
public:
    // Calls f(part, lineEnds) for the bytes of the piece: part is the current
    // line or the next piece of it, and lineEnds says that the line ends
    // after it. Stops when f returns false and returns how many bytes of the
    // piece were passed, up to and including the CR that ended the line.
    template<typename F> qsizetype split(QByteArrayView bytes, F &&f)
    {
        const qsizetype size = bytes.size();
        bytes = dropLineFeed(bytes);
        while (!bytes.isEmpty()) {
            const char *begin = bytes.data();
            const auto *cr = static_cast<const char *>(memchr(begin, '\r', size_t(bytes.size())));
            const qsizetype length = cr ? cr - begin : bytes.size();
            const bool more = f(bytes.first(length), cr != nullptr);
            if (!cr)
                break;
            m_afterCr = true;
            bytes = bytes.sliced(length + 1);
            if (!more)
                return size - bytes.size();
            bytes = dropLineFeed(bytes);
        }
        return size;
    }

    // The bytes without the LF that completes a line break begun by a CR at
    // the end of what was split before.
    QByteArrayView dropLineFeed(QByteArrayView bytes)
    {
        if (!m_afterCr || bytes.isEmpty())
            return bytes;
        m_afterCr = false;
        return bytes.front() == '\n' ? bytes.sliced(1) : bytes;
    }

private:
    bool m_afterCr = false;
};

// Calls f(line) for each line of the whole file (LineSplitter's rule). Stops
// early when f returns false.
template<typename F> void forEachLine(QByteArrayView data, F &&f)
{
    LineSplitter().split(data, [&f](QByteArrayView line, bool) { return f(line); });
}

// The raw first line; empty for an empty file.
QByteArrayView firstLine(QByteArrayView data);

// Entry lines that are exactly empty or a single space hold no entry.
bool isSkippedLine(QByteArrayView raw);

// The fields of one raw entry line. The username ends at the first "|||",
// the password at the next one, and the location keeps everything after
// that, further separators included, so nothing is lost. A line with fewer
// than three fields gives empty ones for those missing and records how many
// it held.
VaultEntry parseEntryLine(QByteArrayView raw);

// What the entries of a vault will take in memory, counted from the file's
// bytes before any entry is made: a little over rather than under.
class LoadCost
{
public:
    void read(QByteArrayView bytes);
    void finish();
    qint64 entries() const { return m_entries; }
    qint64 bytes() const { return m_bytes; }

private:
    void endLine();

    qint64 m_entries = 0;
    qint64 m_bytes = 0;
    LineSplitter m_lines;
    qint64 m_lineSize = 0;
    char m_lineFirst = 0;
    bool m_inFirstLine = true;
};

// Reads the entries of a vault from its bytes handed over piece by piece, in
// any pieces, as a file is read. The first line (the master password) is
// passed over without being kept, lines that hold no entry are skipped, and
// a line is decoded as its bytes arrive, so reading costs little more memory
// than the entries it yields, whatever the bytes.
class EntryReader
{
public:
    // Room for this many entries, so that the list is not copied as it
    // grows.
    void reserve(qint64 entries) { m_entries.reserve(size_t(entries)); }
    // The next bytes of the file.
    void read(QByteArrayView bytes);
    // Ends the file and hands over every entry read, in file order.
    std::vector<VaultEntry> finish();

private:
    void addLine(QByteArrayView line);
    void addPartOfLine(QByteArrayView part);
    void endPartialLine();
    QString &partialField();

    std::vector<VaultEntry> m_entries;
    // A line whose bytes came in more than one piece, decoded so far.
    VaultEntry m_partial;
    qsizetype m_partialSize = 0;
    char m_partialFirst = 0;
    int m_partialField = 0;
    int m_pendingBars = 0;
    bool m_inFirstLine = true;
    LineSplitter m_lines;
};

// The bytes of a new vault holding only the master password.
QByteArray masterOnlyContent(QStringView masterPassword);

// The bytes of a saved vault: the master password line, one line per entry,
// then an empty line.
QByteArray savedContent(QStringView masterPassword, std::span<const VaultEntry> entries);

} // namespace VaultFormat
