#include "app/CommandLine.h"

#include <QTest>

// The command line asks for help or the version; whatever else it holds is
// Qt's, and the program starts as usual.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void request_data();
    void request();
};

void TestCommandLine::request_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("request");

    using R = CommandLine::Request;
    QTest::newRow("none") << QStringList() << int(R::Run);
    QTest::newRow("Qt's own") << QStringList {"-platform", "offscreen"} << int(R::Run);
    QTest::newRow("version") << QStringList {"--version"} << int(R::Version);
    QTest::newRow("help after Qt's") << QStringList {"-style", "fusion", "-h"} << int(R::Help);
    QTest::newRow("help wins") << QStringList {"-v", "--help"} << int(R::Help);
    QTest::newRow("Windows help") << QStringList {"/?"} << int(R::Help);
    QTest::newRow("near miss") << QStringList {"--helper"} << int(R::Run);
}

void TestCommandLine::request()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, request);
    QCOMPARE(int(CommandLine::parse(arguments)), request);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
