#include "VaultBytes.h"
#include "vault/CodePage.h"
#include "vault/VaultFormat.h"

#include <QTest>

using namespace VaultFormat;

class TestVaultFormat : public QObject
{
    Q_OBJECT

private slots:
    void toggleHighBit_allBytes_data();
    void toggleHighBit_allBytes();
    void toggleHighBit_text();
    void rawBytesSurviveLoadAndSave();
    void lines_data();
    void lines();
    void entryLine_data();
    void entryLine();
    void entryLinesSaveBackByteForByte_data();
    void entryLinesSaveBackByteForByte();
    void skippedLines_data();
    void skippedLines();
    void canStore_data();
    void canStore();
    void fileShapes();
    void lineFeedInsideALineIsData();
};

void TestVaultFormat::toggleHighBit_allBytes_data()
{
    QTest::addColumn<int>("plain");
    QTest::addColumn<int>("stored");
    for (int code = 0; code < 256; ++code) {
        const int stored = code == 0x80 ? 0x80 : code ^ 0x80;
        QTest::addRow("0x%02X", code) << code << stored;
    }
}

void TestVaultFormat::toggleHighBit_allBytes()
{
    QFETCH(int, plain);
    QFETCH(int, stored);
    const QByteArray in(1, char(plain));
    const QByteArray out = toggleHighBit(in);
    QCOMPARE(int(uchar(out.at(0))), stored);
    // The transform is its own inverse for every code but the one that has
    // no inverse (0 and 128 both become 128).
    if (plain != 0)
        QCOMPARE(toggleHighBit(out), in);

    // The text form does the same through the code page.
    const QString character(QChar(CodePage::toUnicode(uchar(plain))));
    QCOMPARE(toggleHighBit(character), QString(QChar(CodePage::toUnicode(uchar(stored)))));
}

void TestVaultFormat::toggleHighBit_text()
{
    QCOMPARE(encodeLine(u"abc"), QByteArray("\xE1\xE2\xE3"));
    QCOMPARE(decodeLine(QByteArray("\xE1\xE2\xE3")), QStringLiteral("abc"));
    // The euro sign, code 128, is stored as 0x80 and read back as itself.
    QCOMPARE(encodeLine(u"\u20AC"), QByteArray("\x80"));
    QCOMPARE(decodeLine(QByteArray("\x80")), QStringLiteral("\u20AC"));
    // The separator stands in the file as 0xFC 0xFC 0xFC; a plain 0xFC as 0x7C.
    QCOMPARE(encodeLine(u"|||"), QByteArray("\xFC\xFC\xFC"));
    QCOMPARE(encodeLine(u"\u00FC"), QByteArray("\x7C"));
    QCOMPARE(toggleHighBit(QStringLiteral("caf\u00E9 \u20AC5")).size(), 7);
}

void TestVaultFormat::rawBytesSurviveLoadAndSave()
{
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
    QTest::newRow("one empty line") << QByteArray("\r\n") << L {""};
    QTest::newRow("two lines") << QByteArray("a\r\nb\r\n") << L {"a", "b"};
    QTest::newRow("last line unterminated") << QByteArray("a\r\nb") << L {"a", "b"};
    QTest::newRow("saved shape ends with an empty line")
        << QByteArray("p\r\ne\r\n\r\n") << L {"p", "e", ""};
    QTest::newRow("LF alone is data") << QByteArray("a\nb\r\n") << L {"a\nb"};
    QTest::newRow("LF at start of line is data") << QByteArray("\n\r\n") << L {"\n"};
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
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("location");
    QTest::newRow("three fields") << "bob|||s3cret|||www.example.com"
                                  << "bob"
                                  << "s3cret"
                                  << "www.example.com";
    QTest::newRow("empty location") << "bob|||pw|||"
                                    << "bob"
                                    << "pw"
                                    << "";
    QTest::newRow("all empty") << "||||||"
                               << ""
                               << ""
                               << "";
    QTest::newRow("username only") << "bob"
                                   << "bob"
                                   << ""
                                   << "";
    QTest::newRow("two fields") << "bob|||pw"
                                << "bob"
                                << "pw"
                                << "";
    QTest::newRow("separator inside location is kept") << "bob|||pw|||a|||b|||"
                                                       << "bob"
                                                       << "pw"
                                                       << "a|||b|||";
    QTest::newRow("four bars") << "a||||b"
                               << "a"
                               << "|b"
                               << "";
    QTest::newRow("spaces kept") << " a |||  |||c "
                                 << " a "
                                 << "  "
                                 << "c ";
    QTest::newRow("western characters") << "J\u00FCrgen|||\u20ACuro\u0160|||caf\u00E9"
                                        << "J\u00FCrgen"
                                        << "\u20ACuro\u0160"
                                        << "caf\u00E9";
}

void TestVaultFormat::entryLine()
{
    QFETCH(QString, plain);
    QFETCH(QString, username);
    QFETCH(QString, password);
    QFETCH(QString, location);
    const VaultEntry entry = parseEntryLine(encodeLine(plain));
    QCOMPARE(entry.username, username);
    QCOMPARE(entry.password, password);
    QCOMPARE(entry.location, location);
}

void TestVaultFormat::entryLinesSaveBackByteForByte_data()
{
    // Lines with fewer than two separators never come from the program's
    // writers, but a vault may hold them; whatever a line's bars, loading and
    // saving it writes it back as it was.
    QTest::addColumn<QString>("plain");
    QTest::newRow("five bars") << "|||||";
    QTest::newRow("username only") << "bob";
    QTest::newRow("username ending in a bar") << "bob|";
    QTest::newRow("two fields, password ending in bars") << "a|||b||";
    QTest::newRow("seven bars") << "|||||||";
    QTest::newRow("three fields") << "a||||b|||c|||d";
}

void TestVaultFormat::entryLinesSaveBackByteForByte()
{
    QFETCH(QString, plain);
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
    QTest::newRow("entry") << encodeLine(u"a|||b|||c") << false;
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
    QTest::newRow("empty") << "" << true;
    QTest::newRow("euro and dashes") << "\u20AC \u2013 \u2014 \u0160" << true;
    QTest::newRow("undefined byte 0x81") << "\u0081" << true;
    QTest::newRow("latin-1 letters") << "\u00E9\u00FF\u00C0" << true;
    QTest::newRow("NUL") << QString(QChar(0)) << false;
    QTest::newRow("0x8D becomes CR") << QString(QChar(0x8D)) << false;
    QTest::newRow("cyrillic") << "\u0436" << false;
    QTest::newRow("emoji") << "\U0001F600" << false;
    QTest::newRow("ideograph in text") << "abc\u4E2D" << false;
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
