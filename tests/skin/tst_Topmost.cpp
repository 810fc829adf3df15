#include "skin/Topmost.h"

#include <QTest>
#include <QWidget>

class TestTopmost : public QObject
{
    Q_OBJECT

private slots:
    void onlyMinusOneIsOnTop_data();
    void onlyMinusOneIsOnTop();
};

void TestTopmost::onlyMinusOneIsOnTop_data()
{
    QTest::addColumn<bool>("startOnTop");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QList<qint16>>("calls");
    QTest::addColumn<bool>("expected");

    // clang-format off
    QTest::newRow("true, shown") << false << true << QList<qint16>{-1} << true;
    QTest::newRow("true, hidden") << false << false << QList<qint16>{-1} << true;
    QTest::newRow("true twice") << false << true << QList<qint16>{-1, -1} << true;
    QTest::newRow("false, shown") << true << true << QList<qint16>{0} << false;
    QTest::newRow("false, hidden") << true << false << QList<qint16>{0} << false;
    QTest::newRow("false when not on top") << false << true << QList<qint16>{0} << false;
    QTest::newRow("1 acts as false") << true << true << QList<qint16>{1} << false;
    QTest::newRow("-2 acts as false") << true << true << QList<qint16>{-2} << false;
    // clang-format on
}

void TestTopmost::onlyMinusOneIsOnTop()
{
    QFETCH(bool, startOnTop);
    QFETCH(bool, visible);
    QFETCH(QList<qint16>, calls);
    QFETCH(bool, expected);

    QWidget window;
    window.setWindowFlag(Qt::WindowStaysOnTopHint, startOnTop);
    window.setGeometry(140, 110, 320, 180);
    if (visible) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    const QRect before = window.geometry();

    for (qint16 onTop : calls)
        SetTopmost(&window, onTop);

    QCOMPARE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint), expected);
    QCOMPARE(window.geometry(), before);
    QCOMPARE(window.isVisible(), visible);
}

QTEST_MAIN(TestTopmost)
#include "tst_Topmost.moc"
