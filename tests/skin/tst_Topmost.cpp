#include "skin/Topmost.h"

#include <QTest>
#include <QWidget>

class TestTopmost : public QObject
{
    Q_OBJECT

private slots:
    void onlyMinusOneIsOnTop_data();
    void onlyMinusOneIsOnTop();
    void trueTwiceStaysOnTop();
};

void TestTopmost::onlyMinusOneIsOnTop_data()
{
    QTest::addColumn<bool>("startOnTop");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<qint16>("onTop");
    QTest::addColumn<bool>("expected");

    QTest::newRow("true, shown") << false << true << qint16(-1) << true;
    QTest::newRow("true, hidden") << false << false << qint16(-1) << true;
    QTest::newRow("false, shown") << true << true << qint16(0) << false;
    QTest::newRow("false, hidden") << true << false << qint16(0) << false;
    QTest::newRow("1 acts as false") << true << true << qint16(1) << false;
    QTest::newRow("-2 acts as false") << true << true << qint16(-2) << false;
    QTest::newRow("false when not on top") << false << true << qint16(0) << false;
}

void TestTopmost::onlyMinusOneIsOnTop()
{
    QFETCH(bool, startOnTop);
    QFETCH(bool, visible);
    QFETCH(qint16, onTop);
    QFETCH(bool, expected);

    QWidget window;
    window.setWindowFlag(Qt::WindowStaysOnTopHint, startOnTop);
    window.setGeometry(140, 110, 320, 180);
    if (visible) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    const QRect before = window.geometry();

    SetTopmost(&window, onTop);

    QCOMPARE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint), expected);
    QCOMPARE(window.geometry(), before);
    QCOMPARE(window.isVisible(), visible);
}

void TestTopmost::trueTwiceStaysOnTop()
{
    QWidget window;
    window.setGeometry(50, 60, 200, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    SetTopmost(&window, -1);
    SetTopmost(&window, -1);
    QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(window.isVisible());
    QCOMPARE(window.geometry(), QRect(50, 60, 200, 100));
}

QTEST_MAIN(TestTopmost)
#include "tst_Topmost.moc"
