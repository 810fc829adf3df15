#include "info/HelpFile.h"
#include "info/HelpPlacement.h"
#include "info/LinkRules.h"
#include "info/ShowHelpSetting.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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
    void helpPlacement_data();
    void helpPlacement();
    void linkAddress_data();
    void linkAddress();
    void helpFileBesideTheProgramOrInstalled();
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

void TestInfoRules::helpPlacement_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<int>("overlap"); // the width the help window covers

    // The main window's and the help window's outer sizes at 96 dpi.
    QTest::newRow("1920 x 1080") << QRect(0, 0, 1920, 1040) << 0;
    QTest::newRow("work area offset") << QRect(1280, 40, 1920, 1040) << 0;
    QTest::newRow("1366 x 768") << QRect(0, 0, 1366, 728) << 0;
    QTest::newRow("1280 x 1024") << QRect(0, 0, 1280, 984) << 611 + 696 - 1280;
    QTest::newRow("1024 x 768") << QRect(0, 0, 1024, 728) << 611 + 696 - 1024;
    QTest::newRow("narrower than the help") << QRect(0, 0, 640, 480) << 611;
}

void TestInfoRules::helpPlacement()
{
    QFETCH(QRect, screen);
    QFETCH(int, overlap);
    const QSize mainSize(611, 505);
    const QSize helpSize(696, 560);
    const HelpPlacement::Pair pair = HelpPlacement::arrange(mainSize, helpSize, screen);
    const QRect main(pair.anchor, mainSize);
    const QRect help(pair.beside, helpSize);

    // Level with each other, and within the screen as far as it allows.
    QCOMPARE(main.top(), help.top());
    QVERIFY(main.top() >= screen.top() && help.left() >= screen.left());
    QVERIFY(main.left() >= screen.left() && help.right() <= std::max(screen.right(), help.width()));
    QVERIFY(help.bottom() <= screen.bottom() || help.top() == screen.top());
    // The help window on the main window's right, covering as little of it
    // as the width allows: side by side with a gap when the screen has room,
    // else at opposite edges.
    QVERIFY(help.left() >= main.left());
    QCOMPARE(std::max(0, main.right() + 1 - help.left()), overlap);
    if (overlap == 0)
        QCOMPARE(help.left() - main.right() - 1, HelpPlacement::kGap);
    // The same place at every opening: only the sizes count.
    QCOMPARE(HelpPlacement::arrange(mainSize, helpSize, screen).beside, pair.beside);
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

void TestInfoRules::helpFileBesideTheProgramOrInstalled()
{
    // An installed copy: the program in bin/, its help in share/vorsell/.
    QTemporaryDir prefix;
    QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("bin")));
    QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("share/vorsell")));
    const QString bin = prefix.filePath(QStringLiteral("bin"));
    const QString user = prefix.filePath(QStringLiteral("user"));
    const auto put = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly);
    };
    QCOMPARE(HelpFile::path(bin, user), QDir(bin).filePath(QStringLiteral("Help.rtf")));
    const QString installed = prefix.filePath(QStringLiteral("share/vorsell/Help.rtf"));
    QVERIFY(put(installed));
    QCOMPARE(HelpFile::path(bin, user), installed);
    QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("user")));
    QVERIFY(put(QDir(user).filePath(QStringLiteral("Help.rtf"))));
    QCOMPARE(HelpFile::path(bin, user), QDir(user).filePath(QStringLiteral("Help.rtf")));
    QVERIFY(put(QDir(bin).filePath(QStringLiteral("help.RTF"))));
    QCOMPARE(HelpFile::path(bin, bin), QDir(bin).filePath(QStringLiteral("Help.rtf")));
}

QTEST_APPLESS_MAIN(TestInfoRules)
#include "tst_InfoRules.moc"
