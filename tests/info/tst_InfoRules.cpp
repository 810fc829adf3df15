#include "info/HelpPlacement.h"
#include "info/LinkRules.h"
#include "info/ShowHelpSetting.h"

#include <QTest>

// The stored show-help value goes through the classic Basic conversion, and
// what start-up and the help window's box make of it; the windows' tests
// prove that they ask. The help window opens beside the main window where the
// screen has room.
class TestInfoRules : public QObject
{
    Q_OBJECT

private slots:
    void storedValueToInteger_data();
    void storedValueToInteger();
    void showHelpValue_data();
    void showHelpValue();
    void helpBesideMainWindow_data();
    void helpBesideMainWindow();
    void bothMoveApartWhenTheScreenHasRoom();
    void linkAddress_data();
    void linkAddress();
};

void TestInfoRules::storedValueToInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value"); // 99999: not a 16-bit number

    QTest::newRow("blanks around") << " 1\t" << 1;
    QTest::newRow("signs") << "-1" << -1;
    QTest::newRow("half rounds to even") << "2.5" << 2;
    QTest::newRow("fraction only") << ".9" << 1;
    QTest::newRow("exponent") << "1D1" << 10;
    QTest::newRow("hexadecimal, sixteen bits") << "&HFFFF" << -1;
    QTest::newRow("octal") << "&O7" << 7;
    QTest::newRow("limits") << "-32768" << -32768;
    QTest::newRow("too large after rounding") << "32767.5" << 99999;
    QTest::newRow("hexadecimal too large") << "&H10000" << 99999;
    QTest::newRow("huge exponent") << "1e999" << 99999;
    QTest::newRow("empty") << "  " << 99999;
    QTest::newRow("trailing letter") << "1a" << 99999;
    QTest::newRow("blank inside") << "1 1" << 99999;
    QTest::newRow("sign only") << "-" << 99999;
}

void TestInfoRules::storedValueToInteger()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    const std::optional<qint16> converted = ShowHelpSetting::toInt16(text);
    QCOMPARE(converted ? int(*converted) : 99999, value);
}

void TestInfoRules::showHelpValue_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("opensAtStart");
    QTest::addColumn<int>("box"); // -1: the box keeps its state
    QTest::newRow("1") << "1" << true << 1;
    QTest::newRow("0") << "0" << false << 0;
    QTest::newRow("01") << "01" << false << 1;
    QTest::newRow("00") << "00" << false << 0;
    QTest::newRow("2") << "2" << false << 2;
    QTest::newRow("out of range") << "3" << false << -1;
    QTest::newRow("not a number") << "abc" << false << -1;
}

void TestInfoRules::showHelpValue()
{
    QFETCH(QString, stored);
    QFETCH(bool, opensAtStart);
    QFETCH(int, box);
    QCOMPARE(ShowHelpSetting::opensAtStartup(stored), opensAtStart);
    QCOMPARE(ShowHelpSetting::checkBoxValue(stored).value_or(-1), box);
}

void TestInfoRules::helpBesideMainWindow_data()
{
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("help");
    const QSize help(700, 560);
    const int gap = HelpPlacement::kGap;
    // clang-format off
    QTest::newRow("room on the right") << QRect(100, 200, 600, 480) << QRect(0, 0, 1920, 1040) << QPoint(700 + gap, 200);
    QTest::newRow("room on the left only") << QRect(1200, 200, 600, 480) << QRect(0, 0, 1920, 1040) << QPoint(1200 - gap - help.width(), 200);
    QTest::newRow("kept above the screen's foot") << QRect(100, 600, 600, 480) << QRect(0, 0, 1920, 1040) << QPoint(700 + gap, 1040 - help.height());
    QTest::newRow("work area offset") << QRect(1300, 60, 600, 480) << QRect(1280, 40, 1920, 1040) << QPoint(1900 + gap, 60);
    QTest::newRow("no room: at the roomier edge") << QRect(300, 200, 600, 480) << QRect(0, 0, 1366, 728) << QPoint(1366 - help.width(), 168);
    QTest::newRow("no room, roomier on the left") << QRect(500, 100, 600, 480) << QRect(0, 0, 1200, 728) << QPoint(0, 100);
    // clang-format on
}

void TestInfoRules::helpBesideMainWindow()
{
    QFETCH(QRect, main);
    QFETCH(QRect, screen);
    QFETCH(QPoint, help);
    QCOMPARE(HelpPlacement::besidePosition(main, QSize(700, 560), screen), help);
}

void TestInfoRules::bothMoveApartWhenTheScreenHasRoom()
{
    const QSize help(700, 560);
    const QRect screen(0, 0, 1600, 900);
    // Centred, the main window leaves room on neither side; side by side
    // the pair fits, centred as a whole.
    const auto pair = HelpPlacement::sideBySide(QRect(500, 200, 600, 480), help, screen);
    QVERIFY(pair);
    const int left = (1600 - (600 + HelpPlacement::kGap + 700)) / 2;
    QCOMPARE(pair->anchor, QPoint(left, 200));
    QCOMPARE(pair->beside, QPoint(left + 600 + HelpPlacement::kGap, 200));
    // Room beside it already, or no room for both: the main window stays.
    QVERIFY(!HelpPlacement::sideBySide(QRect(100, 200, 600, 480), help, screen));
    QVERIFY(!HelpPlacement::sideBySide(QRect(300, 200, 600, 480), help, QRect(0, 0, 1280, 900)));
}

void TestInfoRules::linkAddress_data()
{
    QTest::addColumn<QString>("comments");
    QTest::addColumn<QString>("opened");
    // clang-format off
    QTest::newRow("bare domain") << "drummet.example" << "http://drummet.example";
    QTest::newRow("https in capitals") << "HTTPS://x.example" << "HTTPS://x.example";
    QTest::newRow("http inside the query") << "x.example?u=http://y" << "x.example?u=http://y";
    QTest::newRow("empty") << "" << "http://";
    // clang-format on
}

void TestInfoRules::linkAddress()
{
    QFETCH(QString, comments);
    QFETCH(QString, opened);
    const std::optional<QString> address = LinkRules::addressFor(LinkRules::websiteKey(), comments);
    QVERIFY(address && !LinkRules::addressFor(QStringLiteral("website"), comments));
    QCOMPARE(LinkRules::normalisedAddress(*address), opened);
}

QTEST_APPLESS_MAIN(TestInfoRules)
#include "tst_InfoRules.moc"
