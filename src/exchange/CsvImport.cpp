#include "CsvImport.h"

#include "CsvReader.h"
#include "entries/EntryRules.h"
#include "vault/EntryFields.h"
#include "vault/Wipe.h"

#include <QIODevice>
#include <QLocale>
#include <QScopeGuard>

#include <algorithm>
#include <tuple>

namespace CsvImport {

namespace {

constexpr qint64 kChunkSize = qint64(256) << 10;

// The header rows the exporters write, and where the fields stand in them.
struct Shape
{
    const char *program;
    std::initializer_list<const char *> header;
    // The columns of the fields, in the order of Field.
    std::array<int, kFieldCount> fields;
    int kind = -1;
    const char *loginKind = "";
};

const Shape kShapes[] = {
    {"Chrome, Edge or Vorsell", {"name", "url", "username", "password", "note"}, {2, 3, 1}},
    {"Chrome or Edge", {"name", "url", "username", "password"}, {2, 3, 1}},
    {"Firefox",
     {"url", "username", "password", "httpRealm", "formActionOrigin", "guid", "timeCreated",
      "timeLastUsed", "timePasswordChanged"},
     {1, 2, 0}},
    {"Bitwarden",
     {"folder", "favorite", "type", "name", "notes", "fields", "reprompt", "login_uri",
      "login_username", "login_password", "login_totp"},
     {8, 9, 7},
     2,
     "login"},
    {"KeePassXC",
     {"Group", "Title", "Username", "Password", "URL", "Notes", "TOTP", "Icon", "Last Modified",
      "Created"},
     {2, 3, 4}},
    {"KeePassXC", {"Group", "Title", "Username", "Password", "URL", "Notes"}, {2, 3, 4}},
};

bool sameHeader(const QStringList &header, std::initializer_list<const char *> names)
{
    if (header.size() != qsizetype(names.size()))
        return false;
    qsizetype i = 0;
    for (const char *name : names) {
        if (header[i++].trimmed().compare(QLatin1StringView(name), Qt::CaseInsensitive) != 0)
            return false;
    }
    return true;
}

QString tooLarge(qint64 size)
{
    return QStringLiteral("The file is %1 MB. Files larger than %2 MB are not read: a password "
                          "export is far smaller, so this is not one.")
        .arg(double(size) / (1 << 20), 0, 'f', 0)
        .arg(kLargestFile >> 20);
}

// Feeds the device to the reader a chunk at a time.
Result readThrough(QIODevice &in, CsvReader &reader, QString *error, const Progress &progress)
{
    const qint64 total = in.size();
    if (total > kLargestFile) {
        *error = tooLarge(total);
        return Result::Failed;
    }
    QByteArray chunk(kChunkSize, Qt::Uninitialized);
    // It held the file's passwords.
    const auto wipeChunk = qScopeGuard([&chunk] { wipe(chunk); });
    qint64 done = 0;
    for (;;) {
        const qint64 got = in.read(chunk.data(), kChunkSize);
        if (got < 0) {
            *error = QStringLiteral("The file could not be read.\n\n%1").arg(in.errorString());
            return Result::Failed;
        }
        if (got == 0)
            break;
        done += got;
        if (done > kLargestFile) {
            *error = tooLarge(done);
            return Result::Failed;
        }
        if (!reader.read(QByteArrayView(chunk.constData(), got)))
            break;
        if (progress && !progress(done, total))
            return Result::Cancelled;
    }
    if (!reader.finish()) {
        *error = reader.error();
        return Result::Failed;
    }
    return Result::Read;
}

QString notCsv()
{
    return QStringLiteral("This is not a CSV file of passwords: its first line does not name "
                          "columns separated by commas.");
}

// Orders entries by their three fields, to find an equal one by halving.
bool fieldsBefore(const VaultEntry *a, const VaultEntry *b)
{
    return std::tie(a->username, a->password, a->location)
        < std::tie(b->username, b->password, b->location);
}

QString count(qsizetype n, const char *one, const char *many)
{
    return QLocale().toString(n) + u' ' + QLatin1StringView(n == 1 ? one : many);
}

// A list of row numbers, the first few of them.
QString rowList(const std::vector<const Skip *> &skips)
{
    constexpr qsizetype kShown = 12;
    QStringList numbers;
    for (qsizetype i = 0; i < qsizetype(skips.size()) && i < kShown; ++i)
        numbers.append(QString::number(skips[size_t(i)]->row));
    QString text = (skips.size() == 1 ? QStringLiteral("row ") : QStringLiteral("rows "))
        + numbers.join(QStringLiteral(", "));
    if (qsizetype(skips.size()) > kShown)
        text += QStringLiteral(" and %1 more").arg(qsizetype(skips.size()) - kShown);
    return text;
}

// One line for each of the first few rows, with the field and its reason.
QString rowDetails(const std::vector<const Skip *> &skips)
{
    constexpr qsizetype kShown = 5;
    QString text;
    for (qsizetype i = 0; i < qsizetype(skips.size()) && i < kShown; ++i) {
        const Skip &skip = *skips[size_t(i)];
        text += QStringLiteral("\n      row %1, %2: %3")
                    .arg(skip.row)
                    .arg(skip.field ? entryField(*skip.field).importName.toString() : QString(),
                         skip.detail);
    }
    if (qsizetype(skips.size()) > kShown)
        text += QStringLiteral("\n      and %1 more").arg(qsizetype(skips.size()) - kShown);
    return text;
}

// How the rows skipped for one reason read: %1 is how many there are, %2
// which they are.
QString skipLine(SkipReason reason)
{
    switch (reason) {
    case SkipReason::AlreadyInVault:
        return QStringLiteral("%1 already in the vault with the same username, password and "
                              "location (%2)");
    case SkipReason::Empty:
        return QStringLiteral("%1 empty (%2)");
    case SkipReason::Unstorable:
        return QStringLiteral("%1 with a character that the vault cannot store:%2");
    case SkipReason::Refused:
        return QStringLiteral("%1 that the entry editor would refuse:%2");
    case SkipReason::NotALogin:
        return QStringLiteral("%1 not a login: a note, a card or an identity (%2)");
    case SkipReason::VaultFull:
        return QStringLiteral("%1 that no longer fit: a vault holds at most ")
            + QLocale().toString(VaultFormat::kMostEntries) + QStringLiteral(" entries (%2)");
    }
    return QString();
}

// What is skipped and why, and which columns are left out.
QString details(const Plan &plan)
{
    constexpr int kReasons = int(SkipReason::VaultFull) + 1;
    std::vector<const Skip *> byReason[kReasons];
    for (const Skip &skip : plan.skipped)
        byReason[int(skip.reason)].push_back(&skip);

    QString text;
    if (!plan.skipped.empty()) {
        text += QStringLiteral("\n\n")
            + count(qsizetype(plan.skipped.size()), "row is skipped:", "rows are skipped:");
        // A line for each reason, in the order of the reasons; a skip whose
        // reason lies in one field is shown row by row, with that field.
        for (int i = 0; i < kReasons; ++i) {
            const auto reason = SkipReason(i);
            const std::vector<const Skip *> &skips = byReason[i];
            if (skips.empty())
                continue;
            const bool byField = reason == SkipReason::Unstorable || reason == SkipReason::Refused;
            text += QStringLiteral("\n  - ")
                + skipLine(reason).arg(QLocale().toString(qsizetype(skips.size())),
                                       byField ? rowDetails(skips) : rowList(skips));
        }
    }
    if (!plan.leftOut.isEmpty()) {
        QStringList quoted;
        for (const QString &name : plan.leftOut)
            quoted.append(u'"' + name + u'"');
        text += QStringLiteral("\n\nLeft out, since an entry has no place for them: the %1 %2.")
                    .arg(plan.leftOut.size() == 1 ? QStringLiteral("column")
                                                  : QStringLiteral("columns"),
                         quoted.join(QStringLiteral(", ")));
    }
    return text;
}

// Names the program that made the file, when it is known.
QString madeBy(const QString &program)
{
    return program.isEmpty() ? QString()
                             : QStringLiteral("This file is an export of %1.\n\n").arg(program);
}

} // namespace

std::optional<KnownFormat> recognise(const QStringList &header)
{
    for (const Shape &shape : kShapes) {
        if (!sameHeader(header, shape.header))
            continue;
        const Columns columns {shape.fields, shape.kind, QString::fromLatin1(shape.loginKind)};
        return KnownFormat {QString::fromLatin1(shape.program), columns};
    }
    return std::nullopt;
}

Columns guessColumns(const QStringList &header)
{
    // The words column names use for each field, the likeliest first.
    static const char *const words[kFieldCount][5] = {
        {"username", "user", "login", "email", "account"},
        {"password", "pass", "pwd", "secret", "pin"},
        {"url", "uri", "website", "site", "location"},
    };
    Columns columns;
    for (const Field field : kFields) {
        int &column = columns[field];
        for (const char *word : words[int(field)]) {
            for (int i = 0; i < int(header.size()) && column < 0; ++i) {
                const QString name = header[i].trimmed();
                if (!columns.holdsField(i)
                    && name.contains(QLatin1StringView(word), Qt::CaseInsensitive))
                    column = i;
            }
        }
    }
    return columns;
}

Result readHeader(QIODevice &in, QStringList *header, QString *error)
{
    header->clear();
    CsvReader reader([header](const QStringList &cells, int) {
        *header = cells;
        return false;
    });
    const Result result = readThrough(in, reader, error, {});
    if (result != Result::Read)
        return result;
    if (header->isEmpty()) {
        *error = QStringLiteral("The file is empty.");
        return Result::Failed;
    }
    const auto named = std::count_if(header->cbegin(), header->cend(),
                                     [](const QString &name) { return !name.trimmed().isEmpty(); });
    if (named < 2) {
        *error = notCsv();
        return Result::Failed;
    }
    return Result::Read;
}

Result readRows(QIODevice &in, const QStringList &header, const Columns &columns,
                std::vector<Row> *rows, QString *error, const Progress &progress)
{
    rows->clear();
    bool inHeader = true;
    QString problem;
    const auto cell = [](const QStringList &cells, int column) {
        return column >= 0 && column < cells.size() ? cells[column] : QString();
    };
    CsvReader reader([&](const QStringList &cells, int number) {
        if (inHeader) {
            inHeader = false;
            if (cells != header)
                problem = QStringLiteral("The file was changed while it was being read.");
            return problem.isEmpty();
        }
        if (cells.size() > header.size()) {
            for (qsizetype i = header.size(); i < cells.size(); ++i) {
                if (!cells[i].isEmpty()) {
                    problem = QStringLiteral("Row %1 holds more cells than the header row names "
                                             "columns (%2 instead of %3), so it cannot be told "
                                             "which cell is which.")
                                  .arg(number)
                                  .arg(cells.size())
                                  .arg(header.size());
                    return false;
                }
            }
        }
        if (int(rows->size()) >= kMostRows) {
            problem = QStringLiteral("The file holds more than %1 rows: a vault holds at most "
                                     "%2 entries.")
                          .arg(QLocale().toString(kMostRows),
                               QLocale().toString(VaultFormat::kMostEntries));
            return false;
        }
        Row row;
        row.number = number;
        for (const Field field : kFields)
            row.entry.field(field) = cell(cells, columns[field]);
        if (columns.kind >= 0) {
            const QString kind = cell(cells, columns.kind);
            if (kind.trimmed().compare(columns.loginKind, Qt::CaseInsensitive) != 0)
                row.otherKind = kind.isEmpty() ? QStringLiteral("(none)") : kind;
        }
        rows->push_back(std::move(row));
        return true;
    });
    const Result result = readThrough(in, reader, error, progress);
    if (result == Result::Read && !problem.isEmpty()) {
        *error = problem;
        rows->clear();
        return Result::Failed;
    }
    if (result != Result::Read)
        rows->clear();
    return result;
}

Plan plan(std::span<const Row> rows, const QStringList &header, const Columns &columns,
          std::span<const VaultEntry> existing)
{
    Plan plan;
    // The vault's own entries, sorted and looked up where they stand: no
    // copy of their passwords is made.
    std::vector<const VaultEntry *> inVault;
    inVault.reserve(existing.size());
    for (const VaultEntry &entry : existing)
        inVault.push_back(&entry);
    std::sort(inVault.begin(), inVault.end(), fieldsBefore);
    const qsizetype room
        = std::max<qsizetype>(0, VaultFormat::kMostEntries - qsizetype(existing.size()));

    for (const Row &row : rows) {
        const VaultEntry &entry = row.entry;
        const auto skip = [&](SkipReason reason, std::optional<Field> field = std::nullopt,
                              const QString &detail = QString()) {
            plan.skipped.push_back(Skip {row.number, reason, field, detail});
        };
        if (!row.otherKind.isEmpty()) {
            skip(SkipReason::NotALogin, std::nullopt, row.otherKind);
            continue;
        }
        if (entry.username.isEmpty() && entry.password.isEmpty() && entry.location.isEmpty()) {
            skip(SkipReason::Empty);
            continue;
        }
        std::optional<Field> unstorableField;
        QString character;
        for (const Field field : kFields) {
            character = EntryRules::firstUnstorable(entry.field(field));
            if (!character.isEmpty()) {
                unstorableField = field;
                break;
            }
        }
        if (unstorableField) {
            skip(SkipReason::Unstorable, unstorableField, character);
            continue;
        }
        if (const EntryRules::EntryProblem problem = EntryRules::checkEntry(entry); !problem.ok()) {
            // The editor's first sentence says what is wrong; the rest tells
            // a typist what to do.
            skip(SkipReason::Refused, problem.field, problem.message.section(u'\n', 0, 0));
            continue;
        }
        if (std::binary_search(inVault.begin(), inVault.end(), &entry, fieldsBefore)) {
            skip(SkipReason::AlreadyInVault);
            continue;
        }
        if (qsizetype(plan.added.size()) >= room) {
            skip(SkipReason::VaultFull);
            continue;
        }
        plan.added.push_back(VaultEntry {entry.username, entry.password, entry.location});
    }

    for (int i = 0; i < int(header.size()); ++i) {
        if (columns.holdsField(i) || i == columns.kind)
            continue;
        const QString name = header[i].trimmed();
        plan.leftOut.append(name.isEmpty() ? QStringLiteral("column %1").arg(i + 1) : name);
    }
    return plan;
}

QString summary(const Plan &plan, const QString &program)
{
    QString text = madeBy(program);
    text += count(qsizetype(plan.added.size()), "entry will be added to the vault.",
                  "entries will be added to the vault.");
    text += details(plan);
    text += QStringLiteral("\n\nNothing changes until you answer. Add %1 and save the vault?")
                .arg(plan.added.size() == 1 ? QStringLiteral("it") : QStringLiteral("them"));
    return text;
}

QString nothingToAdd(const Plan &plan, const QString &program)
{
    return madeBy(program)
        + QStringLiteral("Nothing in it can be added to the vault; the vault is unchanged.")
        + details(plan);
}

} // namespace CsvImport
