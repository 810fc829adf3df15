#include "VaultBytes.h"
#include "vault/CodePage.h"
#include "vault/VaultFormat.h"

#include <QTest>

using namespace VaultFormat;

class TestVaultFormat : public QObject
{
    Q_OBJECT

private slots:
    void transform();
    void lines_data();
    void lines();
    void entryLine_data();
    void entryLine();
    void skippedLines_data();
    void skippedLines();
    void canStore_data();
    void canStore();
    void fileShapes();
    void lineFeedInsideALineIsData();
};

void TestVaultFormat::transform()
{
    QCOMPARE(encodeLine(u"abc"), QByteArray("\xE1\xE2\xE3"));
    // The separator stands in the file as 0xFC 0xFC 0xFC; a plain 0xFC as 0x7C.
    QCOMPARE(encodeLine(u"|||\u00FC"), QByteArray("\xFC\xFC\xFC\x7C"));
    // Both ends of each half of the code page; the euro sign, code 128, is
    // stored as itself.
    QCOMPARE(decodeLine(QByteArray("\x80\xFF\x01\x7F")),
             QStringLiteral("\u20AC\u007F\u0081\u00FF"));

    // Whatever bytes an existing file holds in a field, loading and saving it
    // writes the same bytes back (0x00 and CR aside: the program never writes
    // the first, and the second ends the line).
    QByteArray field;
    for (int byte = 1; byte < 256; ++byte) {
        if (byte != '\r')
            field.append(char(byte));
    }
    const QString plain = decodeLine(field);
    QCOMPARE(encodeLine(plain), field);
    QVERIFY(VaultFormat::canStore(plain));
}

void TestVaultFormat::lines_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QList<QByteArray>>("expected");
    using L = QList<QByteArray>;
    QTest::newRow("empty file") << QByteArray() << L {};
    QTest::newRow("saved shape ends with an empty line")
        << QByteArray("p\r\ne\r\n\r\n") << L {"p", "e", ""};
    QTest::newRow("last line unterminated") << QByteArray("a\r\nb") << L {"a", "b"};
    QTest::newRow("LF alone is data") << QByteArray("\na\nb\r\n") << L {"\na\nb"};
    QTest::newRow("CR alone ends a line") << QByteArray("a\rb") << L {"a", "b"};
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\n") << L {"a", ""};
}

void TestVaultFormat::lines()
{
    QFETCH(QByteArray, data);
    QFETCH(QList<QByteArray>, expected);
    QList<QByteArray> lines;
    forEachLine(data, [&lines](QByteArrayView line) {
        lines.append(line.toByteArray());
        return true;
    });
    QCOMPARE(lines, expected);
    QCOMPARE(firstLine(data).toByteArray(), expected.value(0));
}

void TestVaultFormat::entryLine_data()
{
    // Lines with fewer than two separators never come from the program's
    // writers, but a vault may hold them; whatever a line's bars, loading and
    // saving it writes it back as it was.
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QStringList>("fields");
    using S = QStringList;
    QTest::newRow("three fields") << "bob|||s3cret|||www.example.com"
                                  << S {"bob", "s3cret", "www.example.com"};
    QTest::newRow("username only") << "bob" << S {"bob", "", ""};
    QTest::newRow("username ending in a bar") << "bob|" << S {"bob|", "", ""};
    QTest::newRow("two fields") << "bob|||pw" << S {"bob", "pw", ""};
    QTest::newRow("two fields, password ending in bars") << "a|||b||" << S {"a", "b||", ""};
    QTest::newRow("five bars") << "|||||" << S {"", "||", ""};
    QTest::newRow("seven bars") << "|||||||" << S {"", "", "|"};
    QTest::newRow("four bars, separators in the location")
        << "a||||b|||c|||d" << S {"a", "|b", "c|||d"};
    QTest::newRow("spaces kept") << " a |||  |||c " << S {" a ", "  ", "c "};
}

void TestVaultFormat::entryLine()
{
    QFETCH(QString, plain);
    QFETCH(QStringList, fields);
    const VaultEntry entry = parseEntryLine(encodeLine(plain));
    QCOMPARE((QStringList {entry.username, entry.password, entry.location}), fields);

    const QByteArray file = encodeLine(u"m") + "\r\n" + encodeLine(plain) + "\r\n\r\n";
    const std::vector<VaultEntry> entries = parsedEntries(file);
    QCOMPARE(entries.size(), size_t(1));
    QCOMPARE(savedContent(u"m", entries), file);
}

void TestVaultFormat::skippedLines_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<bool>("skipped");
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("one space") << QByteArray(" ") << true;
    QTest::newRow("two spaces") << QByteArray("  ") << false;
    QTest::newRow("encoded space") << QByteArray("\xA0") << false;
}

void TestVaultFormat::skippedLines()
{
    QFETCH(QByteArray, raw);
    QFETCH(bool, skipped);
    QCOMPARE(isSkippedLine(raw), skipped);
    const QByteArray file = encodeLine(u"master") + "\r\n" + raw + "\r\n";
    QCOMPARE(parsedEntries(file).size(), skipped ? size_t(0) : size_t(1));
}

void TestVaultFormat::canStore_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("storable");
    QTest::newRow("ascii") << "Hello, world!" << true;
    QTest::newRow("euro and dashes") << "\u20AC \u2013 \u2014 \u0160" << true;
    QTest::newRow("undefined byte 0x81") << "\u0081" << true;
    QTest::newRow("NUL") << QString(QChar(0)) << false;
    QTest::newRow("0x8D becomes CR") << QString(QChar(0x8D)) << false;
    QTest::newRow("cyrillic after ascii") << "abc\u0436" << false;
    QTest::newRow("emoji") << "\U0001F600" << false;
}

void TestVaultFormat::canStore()
{
    QFETCH(QString, text);
    QFETCH(bool, storable);
    QCOMPARE(VaultFormat::canStore(text), storable);
    if (storable)
        QCOMPARE(decodeLine(encodeLine(text)), text);
}

void TestVaultFormat::fileShapes()
{
    QCOMPARE(masterOnlyContent(u"abc"), QByteArray("\xE1\xE2\xE3\r\n"));
    QCOMPARE(savedContent(u"abc", {}), QByteArray("\xE1\xE2\xE3\r\n\r\n"));
    const std::vector<VaultEntry> entries = {{"u", "p", "l"}, {"x", "", ""}};
    QCOMPARE(savedContent(u"abc", entries),
             QByteArray("\xE1\xE2\xE3\r\n"
                        "\xF5\xFC\xFC\xFC\xF0\xFC\xFC\xFC\xEC\r\n"
                        "\xF8\xFC\xFC\xFC\xFC\xFC\xFC\r\n"
                        "\r\n"));
    QCOMPARE(parsedEntries(savedContent(u"abc", entries)), entries);
}

void TestVaultFormat::lineFeedInsideALineIsData()
{
    // Capital S with caron is 0x8A in the code page and 0x0A (LF) in the file.
    const std::vector<VaultEntry> entries
        = {{"user", "pa\u0160\u0160word", "loc"}, {"second", "pw", "\u0160"}};
    const QByteArray file = savedContent(u"\u0160master", entries);
    QVERIFY(file.contains(QByteArray("\xE1\x0A\x0A")));
    QCOMPARE(parsedEntries(file), entries);
    QCOMPARE(decodeLine(firstLine(file)), QStringLiteral("\u0160master"));
}

QTEST_GUILESS_MAIN(TestVaultFormat)
#include "tst_VaultFormat.moc"
