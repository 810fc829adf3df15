#include "skin/Topmost.h"

#include <QTest>
#include <QWidget>

class TestTopmost : public QObject
{
    Q_OBJECT

private slots:
    void keepsPlaceAndSize_data();
    void keepsPlaceAndSize();
};

void TestTopmost::keepsPlaceAndSize_data()
{
    QTest::addColumn<bool>("startOnTop");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QList<bool>>("calls");
    QTest::addColumn<bool>("expected");

    // clang-format off
    QTest::newRow("on, shown") << false << true << QList<bool>{true} << true;
    QTest::newRow("on, hidden") << false << false << QList<bool>{true} << true;
    QTest::newRow("on twice") << false << true << QList<bool>{true, true} << true;
    QTest::newRow("off, shown") << true << true << QList<bool>{false} << false;
    QTest::newRow("off, hidden") << true << false << QList<bool>{false} << false;
    QTest::newRow("off when not on top") << false << true << QList<bool>{false} << false;
    // clang-format on
}

void TestTopmost::keepsPlaceAndSize()
{
    QFETCH(bool, startOnTop);
    QFETCH(bool, visible);
    QFETCH(QList<bool>, calls);
    QFETCH(bool, expected);

    QWidget window;
    window.setWindowFlag(Qt::WindowStaysOnTopHint, startOnTop);
    window.setGeometry(140, 110, 320, 180);
    if (visible) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    const QRect before = window.geometry();

    for (bool onTop : calls)
        SetTopmost(&window, onTop);

    QCOMPARE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint), expected);
    QCOMPARE(window.geometry(), before);
    QCOMPARE(window.isVisible(), visible);
}

QTEST_MAIN(TestTopmost)
#include "tst_Topmost.moc"
