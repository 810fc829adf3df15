#include "exchange/CsvExport.h"
#include "exchange/CsvImport.h"
#include "exchange/CsvReader.h"
#include "exchange/ExportFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace CsvImport;
using Rows = QList<QStringList>;
Q_DECLARE_METATYPE(VaultEntry)

namespace {

Result readAll(const QByteArray &bytes, QStringList *header, std::vector<Row> *rows, QString *error,
               Columns *columns = nullptr, QString *program = nullptr)
{
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    const Result result = readHeader(in, header, error);
    if (result != Result::Read)
        return result;
    const std::optional<KnownFormat> known = recognise(*header);
    const Columns found = known ? known->columns : guessColumns(*header);
    if (columns)
        *columns = found;
    if (program && known)
        *program = known->program;
    in.seek(0);
    return readRows(in, *header, found, rows, error);
}

Plan planFor(const QByteArray &bytes, std::span<const VaultEntry> existing = {})
{
    QStringList header;
    std::vector<Row> rows;
    QString error;
    Columns columns;
    if (readAll(bytes, &header, &rows, &error, &columns) != Result::Read)
        qWarning() << error;
    return plan(rows, header, columns, existing);
}

} // namespace

class TestCsvImport : public QObject
{
    Q_OBJECT

private slots:
    void knownExports_data();
    void knownExports();
    void cells_data();
    void cells();
    void unusableFiles_data();
    void unusableFiles();
    void fileOfAGigabyteIsRefusedUnread();
    void progressCanCancel();
    void unknownHeaderGuess();
    void skippedRowsAndLeftOutColumns();
    void vaultFull();
    void exportThenImportGivesTheSameEntries();
    void exportShape();
    void failedExportLeavesTheOlderFile();
    void exportRemovesWhatAnUnfinishedOneLeft();
    void entryName_data();
    void entryName();
};

void TestCsvImport::knownExports_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("program");
    QTest::addColumn<VaultEntry>("entry");
    QTest::addColumn<QStringList>("leftOut");
    const VaultEntry bob {"bob", "s3cret", "https://example.com/login"};
    QTest::newRow("Chrome, 5 columns")
        << QByteArray("name,url,username,password,note\n"
                      "example.com,https://example.com/login,bob,s3cret,a note\n")
        << "Chrome, Edge or Vorsell" << bob << QStringList {"name", "note"};
    QTest::newRow("Chrome, 4 columns")
        << QByteArray("name,url,username,password\r\n"
                      "example.com,https://example.com/login,bob,s3cret")
        << "Chrome or Edge" << bob << QStringList {"name"};
    QTest::newRow("Firefox") << QByteArray(
        "\"url\",\"username\",\"password\",\"httpRealm\",\"formActionOrigin\","
        "\"guid\",\"timeCreated\",\"timeLastUsed\",\"timePasswordChanged\"\r\n"
        "\"https://example.com/login\",\"bob\",\"s3cret\",,"
        "\"https://example.com\",\"{0c1}\",\"1700000000000\",\"1700000000000\","
        "\"1700000000000\"\r\n")
                             << "Firefox" << bob
                             << QStringList {"httpRealm",    "formActionOrigin",
                                             "guid",         "timeCreated",
                                             "timeLastUsed", "timePasswordChanged"};
    QTest::newRow("Bitwarden") << QByteArray(
        "folder,favorite,type,name,notes,fields,reprompt,login_uri,"
        "login_username,login_password,login_totp\n"
        "Work,1,login,Example,\"two\nlines\",\"pin: 1\",0,"
        "https://example.com/login,bob,s3cret,JBSWY3DP\n")
                               << "Bitwarden" << bob
                               << QStringList {"folder", "favorite", "name",      "notes",
                                               "fields", "reprompt", "login_totp"};
    QTest::newRow("KeePassXC, 10 columns")
        << QByteArray("\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\","
                      "\"Icon\",\"Last Modified\",\"Created\"\n"
                      "\"Root/Web\",\"Example\",\"bob\",\"s3cret\",\"https://example.com/login\","
                      "\"\",\"\",\"0\",\"2024-01-01T00:00:00Z\",\"2024-01-01T00:00:00Z\"\n")
        << "KeePassXC" << bob
        << QStringList {"Group", "Title", "Notes", "TOTP", "Icon", "Last Modified", "Created"};
    QTest::newRow("KeePassXC, 6 columns")
        << QByteArray("\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"\n"
                      "\"Root\",\"Example\",\"bob\",\"s3cret\",\"https://example.com/login\","
                      "\"\"\n")
        << "KeePassXC" << bob << QStringList {"Group", "Title", "Notes"};
}

void TestCsvImport::knownExports()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, program);
    QFETCH(VaultEntry, entry);
    QFETCH(QStringList, leftOut);
    QStringList header;
    std::vector<Row> rows;
    QString error;
    QString found;
    Columns columns;
    QCOMPARE(readAll(file, &header, &rows, &error, &columns, &found), Result::Read);
    QCOMPARE(found, program);
    const Plan result = plan(rows, header, columns, {});
    QCOMPARE(result.added, std::vector<VaultEntry> {entry});
    QCOMPARE(result.leftOut, leftOut);
}

void TestCsvImport::cells_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<Rows>("rows");
    QTest::newRow("doubled quotes")
        << QByteArray("\"a \"\"b\"\" c\",\"\"\"\"\n") << Rows {{"a \"b\" c", "\""}};
    QTest::newRow("comma and line breaks inside quotes")
        << QByteArray("\"a,b\",\"one\r\ntwo\nthree\"\r\nx,y\r\n")
        << Rows {{"a,b", "one\r\ntwo\nthree"}, {"x", "y"}};
    QTest::newRow("LF line ends") << QByteArray("a,b\nc,d\n") << Rows {{"a", "b"}, {"c", "d"}};
    QTest::newRow("CR alone ends a line")
        << QByteArray("a,b\rc,d") << Rows {{"a", "b"}, {"c", "d"}};
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF\"a\",b\n") << Rows {{"a", "b"}};
    QTest::newRow("last line without a line break")
        << QByteArray("a,b\r\nc,") << Rows {{"a", "b"}, {"c", ""}};
    QTest::newRow("empty lines hold no row")
        << QByteArray("a,b\r\n\r\n\nc,d\r\n\r\n") << Rows {{"a", "b"}, {"c", "d"}};
    QTest::newRow("spaces and a quote inside an unquoted cell")
        << QByteArray(" a ,5'7\"\n") << Rows {{" a ", "5'7\""}};
    QTest::newRow("UTF-8") << QByteArray("J\xC3\xBCrgen,\xE2\x82\xAC\xF0\x9F\x98\x80\n")
                           << Rows {{"J\u00FCrgen", "\u20AC\U0001F600"}};
}

void TestCsvImport::cells()
{
    QFETCH(QByteArray, csv);
    QFETCH(Rows, rows);
    // In one piece, and a byte at a time: a chunk may end anywhere, inside
    // a character or between CR and LF.
    for (const qsizetype piece : {csv.size(), qsizetype(1)}) {
        Rows read;
        CsvReader reader([&read](const QStringList &cells, int) {
            read.append(cells);
            return true;
        });
        for (qsizetype at = 0; at < csv.size(); at += piece)
            QVERIFY(reader.read(QByteArrayView(csv).sliced(at, std::min(piece, csv.size() - at))));
        QVERIFY2(reader.finish(), qPrintable(reader.error()));
        QCOMPARE(read, rows);
    }
}

void TestCsvImport::unusableFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QByteArray() << "The file is empty.";
    QTest::newRow("not CSV") << QByteArray("Dear Sir,\nplease find attached\n")
                             << "This is not a CSV file of passwords";
    QTest::newRow("not UTF-8") << QByteArray("url,username,password\nx,J\xFCrgen,pw\n")
                               << "not UTF-8 text: on line 2";
    QTest::newRow("cut inside a character")
        << QByteArray("url,username,password\nx,bob,\xE2\x82") << "ends part-way through";
    QTest::newRow("picture") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)
                             << "binary data (from line 1 on)";
    const QString text = QStringLiteral("url,username,password\nx,J\u00FCrgen,pw\n");
    QStringEncoder withMark(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    QStringEncoder withoutMark(QStringEncoder::Utf16BE);
    QTest::newRow("UTF-16 with its byte-order mark")
        << QByteArray(withMark.encode(text)) << "UTF-16 text, not UTF-8";
    QTest::newRow("UTF-16 without one")
        << QByteArray(withoutMark.encode(text)) << "UTF-16 text, not UTF-8";
    QTest::newRow("0 byte after text")
        << QByteArray("url,username,password\nx,y,z\0", 29) << "binary data (from line 2 on)";
    QTest::newRow("unclosed quote") << QByteArray("a,b\n\"x\ny,z\n")
                                    << "The quote that opens a cell on line 2 is never closed.";
    QTest::newRow("text after a closing quote")
        << QByteArray("a,b\n\"x\"y,z\n") << "On line 2 a quoted cell goes on";
    QTest::newRow("a thousand columns")
        << QByteArray("a,b\n") + QByteArray(999, ',') << "more than 100 columns";
    QTest::newRow("a row of 2 MB")
        << QByteArray("a,b\nx,") + QByteArray(2 << 20, 'x') << "longer than 1048576 characters";
    QTest::newRow("more cells than the header")
        << QByteArray("a,b\nx,y,z\n") << "Row 2 holds more cells than the header";
}

void TestCsvImport::unusableFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    QStringList header;
    std::vector<Row> rows;
    QString error;
    QCOMPARE(readAll(file, &header, &rows, &error), Result::Failed);
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(rows.empty());
}

void TestCsvImport::fileOfAGigabyteIsRefusedUnread()
{
    QTemporaryFile file;
    QVERIFY(file.open());
    QVERIFY(file.write("url,username,password\n") > 0);
    QVERIFY(file.resize(qint64(1) << 30));
    file.seek(0);
    QStringList header;
    QString error;
    QCOMPARE(readHeader(file, &header, &error), Result::Failed);
    QVERIFY2(error.startsWith(QStringLiteral("The file is 1024 MB.")), qPrintable(error));
    QCOMPARE(file.pos(), 0);
}

void TestCsvImport::progressCanCancel()
{
    QByteArray csv("url,username,password\n");
    while (csv.size() < (4 << 20))
        csv += "https://example.com,bob,s3cret\n";
    QBuffer in(&csv);
    in.open(QIODevice::ReadOnly);
    const QStringList header {"url", "username", "password"};
    std::vector<Row> rows;
    QString error;
    QList<qint64> done;
    const Result result = readRows(in, header, Columns {{1, 2, 0}, -1, {}}, &rows, &error,
                                   [&](qint64 read, qint64 total) {
                                       if (total == csv.size())
                                           done.append(read);
                                       return done.size() < 3;
                                   });
    QCOMPARE(result, Result::Cancelled);
    QCOMPARE(done.size(), 3);
    QVERIFY(done[0] > 0 && done[0] < done[1] && done[1] < done[2] && done[2] < csv.size());
    QVERIFY(rows.empty());
}

void TestCsvImport::unknownHeaderGuess()
{
    const Columns columns
        = guessColumns({"Title", "Login name", "Notes", "Web site", "Passphrase", "Password"});
    QCOMPARE(columns[Field::Username], 1);
    QCOMPARE(columns[Field::Password], 5);
    QCOMPARE(columns[Field::Location], 3);
    QVERIFY(!recognise({"Title", "Login name", "Password"}));
}

void TestCsvImport::skippedRowsAndLeftOutColumns()
{
    const std::vector<VaultEntry> vault = {{"bob", "s3cret", "https://example.com"}};
    const Plan result
        = planFor("folder,favorite,type,name,notes,fields,reprompt,login_uri,login_username,"
                  "login_password,login_totp\n"
                  ",,login,,,,,https://example.com,bob,s3cret,\n" // 2: in the vault
                  ",,login,,,,,,,,\n" // 3: empty
                  ",,login,,,,,https://x.example,\xC5\x82ukasz,pw,\n" // 4: unstorable
                  ",,login,,,,,https://x.example,,pw,\n" // 5: no username
                  ",,login,,,,,https://x.example,al,pass|||word,\n" // 6: separator
                  ",,note,Memo,secret,,,,,,\n" // 7: not a login
                  ",,login,,,,,https://example.com,bob,s3cret2,\n" // 8: added
                  ",,login,,,,,https://example.com,bob,s3cret2,\n", // 9: added again
                  vault);
    const std::vector<VaultEntry> added(2, VaultEntry {"bob", "s3cret2", "https://example.com"});
    QCOMPARE(result.added, added);
    QCOMPARE(result.skipped.size(), size_t(6));
    const auto expect = [&](size_t i, int row, SkipReason reason, std::optional<Field> field) {
        QCOMPARE(result.skipped[i].row, row);
        QCOMPARE(result.skipped[i].reason, reason);
        QCOMPARE(result.skipped[i].field, field);
    };
    expect(0, 2, SkipReason::AlreadyInVault, std::nullopt);
    expect(1, 3, SkipReason::Empty, std::nullopt);
    expect(2, 4, SkipReason::Unstorable, Field::Username);
    expect(3, 5, SkipReason::Refused, Field::Username);
    expect(4, 6, SkipReason::Refused, Field::Password);
    expect(5, 7, SkipReason::NotALogin, std::nullopt);

    const QString text = summary(result, QStringLiteral("Bitwarden"));
    QVERIFY2(text.contains(QStringLiteral("row 4, username: \"\u0142\" (U+0142)")),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("row 5, username: You must enter a username")),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("2 entries will be added")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("\"folder\", \"favorite\", \"name\", \"notes\", "
                                          "\"fields\", \"reprompt\", \"login_totp\"")),
             qPrintable(text));
}

void TestCsvImport::vaultFull()
{
    const std::vector<VaultEntry> vault(VaultFormat::kMostEntries - 1, VaultEntry {"u", "p", "l"});
    const Plan result = planFor("url,username,password\na,b,c\nd,e,f\n", vault);
    QCOMPARE(result.added.size(), size_t(1));
    QCOMPARE(result.skipped.size(), size_t(1));
    QCOMPARE(result.skipped[0].reason, SkipReason::VaultFull);
    QCOMPARE(result.skipped[0].row, 3);
}

void TestCsvImport::exportThenImportGivesTheSameEntries()
{
    // The entries of the vault format's tests, and cells that CSV must
    // quote. Those the editor accepts come back as they were; those it would
    // refuse (no username or password, a field ending in "|" or holding
    // "|||") are named, row by row, never dropped unsaid.
    const std::vector<VaultEntry> kept = {
        {"bob", "s3cret", "www.example.com"},
        {"bob", "pw", ""},
        {" a ", "  ", "c "},
        {"user", "pa\u0160\u0160word", "loc"},
        {"second", "pw", "\u0160"},
        {"u", "p", "l"},
        {"J\u00FCrgen", "\u20ACuro", "caf\u00E9"},
        {"al, \"the\" ice", "line\r\nbreak\nand\rmore", "\"quoted\""},
        {"=SUM(A1)", "\"", ",,,"},
    };
    const std::vector<VaultEntry> refused = {
        {"bob", "", ""}, {"bob|", "", ""}, {"a", "b||", ""},     {"", "||", ""},
        {"", "", "|"},   {"x", "", ""},    {"a", "|b", "c|||d"},
    };
    std::vector<VaultEntry> all;
    QList<int> refusedRows;
    for (size_t i = 0; i < std::max(kept.size(), refused.size()); ++i) {
        if (i < kept.size())
            all.push_back(kept[i]);
        if (i < refused.size()) {
            all.push_back(refused[i]);
            refusedRows.append(int(all.size()) + 1); // the header is row 1
        }
    }
    const Plan result = planFor(CsvExport::content(all));
    QCOMPARE(result.added, kept);
    QList<int> skippedRows;
    for (const Skip &skip : result.skipped) {
        QCOMPARE(skip.reason, SkipReason::Refused);
        skippedRows.append(skip.row);
    }
    QCOMPARE(skippedRows, refusedRows);
}

void TestCsvImport::exportShape()
{
    const std::vector<VaultEntry> entries
        = {{"bob", "pa,ss", "https://www.example.com/login"}, {"al", "x\"y", "My bank"}};
    QCOMPARE(CsvExport::content(entries),
             QByteArray("name,url,username,password,note\r\n"
                        "www.example.com,https://www.example.com/login,bob,\"pa,ss\",\r\n"
                        "My bank,My bank,al,\"x\"\"y\",\r\n"));
}

void TestCsvImport::failedExportLeavesTheOlderFile()
{
#ifdef Q_OS_UNIX
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("out.csv"));
    QFile older(path);
    QVERIFY(older.open(QIODevice::WriteOnly));
    older.write("an older export");
    older.close();
    // A file size limit stops the write part-way, as a full disk does.
    rlimit old {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString reason;
    const bool written = writeExportFile(path, QByteArray(4096, 'x'), &reason);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!written);
    QVERIFY(!reason.isEmpty());
    QVERIFY(older.open(QIODevice::ReadOnly));
    QCOMPARE(older.readAll(), QByteArray("an older export"));
    // No part of the export is left beside it.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList {QStringLiteral("out.csv")});
#else
    QSKIP("A file size limit is how a full disk is stood in for.");
#endif
}

void TestCsvImport::exportRemovesWhatAnUnfinishedOneLeft()
{
    QTemporaryDir folder;
    QFile leftover(folder.filePath(QStringLiteral("out.csv.~vorsell-export-ab12cd34")));
    QVERIFY(leftover.open(QIODevice::WriteOnly));
    leftover.write("name,url,username,password,note\r\nx,x,bob,s3cr");
    leftover.close();
    QString reason;
    QVERIFY2(writeExportFile(folder.filePath(QStringLiteral("out.csv")), "an export", &reason),
             qPrintable(reason));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList {QStringLiteral("out.csv")});
}

void TestCsvImport::entryName_data()
{
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("name");
    QTest::newRow("address") << "https://accounts.example.com/login?x=1"
                             << "accounts.example.com";
    QTest::newRow("address without scheme") << "www.example.com/login"
                                            << "www.example.com";
    QTest::newRow("other scheme") << "ftp://files.example.net"
                                  << "files.example.net";
    QTest::newRow("folder") << "C:\\Users\\bob\\Vault"
                            << "C:\\Users\\bob\\Vault";
    QTest::newRow("words") << "Bank card PIN"
                           << "Bank card PIN";
    QTest::newRow("empty") << ""
                           << "";
}

void TestCsvImport::entryName()
{
    QFETCH(QString, location);
    QFETCH(QString, name);
    QCOMPARE(CsvExport::entryName(location), name);
}

QTEST_GUILESS_MAIN(TestCsvImport)
#include "tst_CsvImport.moc"
