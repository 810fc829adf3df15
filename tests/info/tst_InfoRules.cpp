#include "info/ShowHelpSetting.h"

#include <QTest>

// The stored show-help value goes through the classic Basic conversion; the
// windows' tests cover what the box and start-up make of it.
class TestInfoRules : public QObject
{
    Q_OBJECT

private slots:
    void storedValueToInteger_data();
    void storedValueToInteger();
};

void TestInfoRules::storedValueToInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value"); // 99999: not a 16-bit number

    QTest::newRow("blanks around") << " 1\t" << 1;
    QTest::newRow("signs") << "-1" << -1;
    QTest::newRow("half rounds to even, down") << "2.5" << 2;
    QTest::newRow("half rounds to even, up") << "1.5" << 2;
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

QTEST_APPLESS_MAIN(TestInfoRules)
#include "tst_InfoRules.moc"
