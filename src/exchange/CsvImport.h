#pragma once

#include "vault/VaultFormat.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <span>
#include <vector>

class QIODevice;

// Bringing entries in from the CSV exports of browsers and other password
// managers: which columns hold the three fields, reading the rows, and the
// plan of what an import adds to the vault and what it leaves out, and why.
namespace CsvImport {

// The largest file read: far above any password export, low enough that
// reading it cannot exhaust the memory.
inline constexpr qint64 kLargestFile = qint64(128) << 20;
// The most rows of data read from one file.
inline constexpr int kMostRows = 100000;

// Which column (0-based) holds each field; -1 for none.
struct Columns
{
    // In the order of Field.
    std::array<int, kFieldCount> fields {-1, -1, -1};
    // A column that names the kind of each row, and the kind that holds a
    // login; rows of other kinds hold no entry.
    int kind = -1;
    QString loginKind;

    int &operator[](Field field) { return fields[size_t(field)]; }
    int operator[](Field field) const { return fields[size_t(field)]; }
    // Whether the column holds one of the fields.
    bool holdsField(int column) const
    {
        return std::find(fields.begin(), fields.end(), column) != fields.end();
    }
};

// A header row that a program's export writes, and where its fields are.
struct KnownFormat
{
    QString program;
    Columns columns;
};

// The export a header row comes from, when it is one of the known ones.
std::optional<KnownFormat> recognise(const QStringList &header);

// A first guess at the columns of an unknown header, by the words its
// column names use; -1 where nothing fits.
Columns guessColumns(const QStringList &header);

// One row of the file, with the fields the columns give.
struct Row
{
    int number = 0;
    VaultEntry entry;
    // The row's kind, when it is not a login.
    QString otherKind;
};

// Called now and then while reading with how many bytes of how many are
// read; returning false cancels.
using Progress = std::function<bool(qint64 done, qint64 total)>;

enum class Result { Read, Failed, Cancelled };

// Reads the header row: at least two columns.
Result readHeader(QIODevice &in, QStringList *header, QString *error);

// Reads every row after the header with these columns. The header must be
// the same as readHeader gave (the file may have changed in between).
Result readRows(QIODevice &in, const QStringList &header, const Columns &columns,
                std::vector<Row> *rows, QString *error, const Progress &progress = {});

// Why a row adds no entry.
enum class SkipReason {
    // An entry with the same username, password and location is in the
    // vault already.
    AlreadyInVault,
    // Username, password and location are all empty.
    Empty,
    // A field holds a character that the vault file cannot store.
    Unstorable,
    // The entry editor would refuse a field.
    Refused,
    // Not a login (a secure note, a card).
    NotALogin,
    // The vault holds VaultFormat::kMostEntries entries. (The last reason: the summary
    // counts the skips by reason.)
    VaultFull,
};

struct Skip
{
    int row = 0;
    SkipReason reason = SkipReason::Empty;
    std::optional<Field> field;
    // The character or the editor's reason, where there is one.
    QString detail;
};

struct Plan
{
    std::vector<VaultEntry> added;
    std::vector<Skip> skipped;
    // The names of the columns whose contents have no place in an entry.
    QStringList leftOut;
};

// What importing the rows into a vault that holds `existing` comes to.
// Rows are taken in file order; two equal rows of the file are both added.
Plan plan(std::span<const Row> rows, const QStringList &header, const Columns &columns,
          std::span<const VaultEntry> existing);

// The question shown before anything changes: what will be added, what is
// skipped and why, and which columns are left out.
QString summary(const Plan &plan, const QString &program);

// The message when nothing in the file can be added.
QString nothingToAdd(const Plan &plan, const QString &program);

} // namespace CsvImport
