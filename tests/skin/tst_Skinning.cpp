#include "TestProgram.h"
#include "app/Form1.h"
#include "entries/frmAdd.h"
#include "password/frmPass.h"
#include "skin/Skin.h"
#include "skin/SkinCompanion.h"
#include "skin/Skinning.h"
#include "skin/Topmost.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QHash>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QSysInfo>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include <cmath>

class TestSkinning : public QObject
{
    Q_OBJECT

private slots:
    void mainWindowColoursAndFocusMark();
    void companionSkinsNewWindowsWhileStarted();
    void textContrast_data();
    void textContrast();
    void topmostKeepsPlaceAndSize_data();
    void topmostKeepsPlaceAndSize();
    void marksAndTextStandOut();
};

namespace {

// The relative luminance of a colour, as WCAG defines it.
double luminance(const QColor &colour)
{
    const auto channel = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF())
        + 0.0722 * channel(colour.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of text as drawn in a part of a window: the commonest colour
// there is taken as what lies behind the text, and the colour that stands
// out most from it as the text's own (the core of a stroke, not its
// smoothed edge).
double drawnContrast(const QImage &image, const QRect &part)
{
    QHash<QRgb, int> counts;
    for (int y = part.top(); y <= part.bottom(); ++y) {
        for (int x = part.left(); x <= part.right(); ++x)
            ++counts[image.pixel(x, y)];
    }
    QRgb behind = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > counts.value(behind))
            behind = it.key();
    }
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, contrast(QColor::fromRgb(behind), QColor::fromRgb(it.key())));
    return best;
}

} // namespace

void TestSkinning::mainWindowColoursAndFocusMark()
{
    TestProgram t;
    t.setShowHelp(QStringLiteral("0"));
    t.openVault();
    Form1 *main = t.mainWindow();
    const SkinColours colours = studioBlue().colours;
    const QColor back = QColor::fromRgb(colours.back);
    const QColor fore = QColor::fromRgb(colours.fore);

    for (QToolButton *button : main->findChildren<QToolButton *>()) {
        if (button->objectName().startsWith(u"cmd"))
            QCOMPARE(button->palette().color(QPalette::Button), back);
    }
    const QTreeView *list = control<QTreeView>(main, QStringLiteral("lstPass"));
    QCOMPARE(list->palette().color(QPalette::Base), back);
    // The fore colour, moved just far enough toward white to be read.
    const QColor text = list->palette().color(QPalette::Text);
    QVERIFY(contrast(text, back) >= 4.5);
    QVERIFY(std::abs(text.red() - fore.red()) + std::abs(text.green() - fore.green())
                + std::abs(text.blue() - fore.blue())
            <= 24);
    // The status bar keeps its own colours: it was never given a palette.
    QVERIFY(
        !control<QStatusBar>(main, QStringLiteral("StatusBar1"))->testAttribute(Qt::WA_SetPalette));
    // The window itself is painted by the skin.
    QCOMPARE(main->palette().color(QPalette::Window), QColor::fromRgb(colours.panel));
    QVERIFY(main->property("skinned").toBool());

    // The focus mark stands out: the left edge of the focused button against
    // that of one without the focus, and against the window beside it.
    QApplication::setActiveWindow(main);
    QVERIFY(QTest::qWaitForWindowActive(main));
    QToolButton *add = control<QToolButton>(main, QStringLiteral("cmdAdd"), 0);
    QToolButton *edit = control<QToolButton>(main, QStringLiteral("cmdEdit"));
    add->setFocus();
    QTRY_VERIFY(add->hasFocus());
    const QImage image = main->grab().toImage();
    const auto at = [&](QWidget *control, int x) {
        return image.pixelColor(control->mapTo(main, QPoint(x, control->height() / 2)));
    };
    QVERIFY(contrast(at(add, 0), at(edit, 0)) >= 3);
    QVERIFY(contrast(at(add, 0), at(add, -2)) >= 3);
}

void TestSkinning::companionSkinsNewWindowsWhileStarted()
{
    Skin skin(studioBlue());
    SkinCompanion companion;
    QVERIFY(!companion.start()); // nothing attached yet
    QVERIFY(!companion.attach(nullptr));
    QVERIFY(companion.attach(skin.object()));
    QVERIFY(companion.start());

    QDialog first;
    first.show();
    QCOMPARE(first.palette().color(QPalette::Window), QColor::fromRgb(studioBlue().colours.panel));

    companion.stop();
    QDialog second;
    const QColor before = second.palette().color(QPalette::Window);
    second.show();
    QCOMPARE(second.palette().color(QPalette::Window), before);
}

void TestSkinning::textContrast_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    // clang-format off
    QTest::newRow("button caption on its face") << "main" << "cmdAdd";
    QTest::newRow("column header") << "main" << "lstPass";
    QTest::newRow("status text") << "main" << "statusPanel";
    QTest::newRow("label on the window") << "pass" << "SkinLabel2";
    QTest::newRow("push button caption") << "pass" << "cmdOK";
    // clang-format on
}

void TestSkinning::textContrast()
{
    QFETCH(QString, window);
    QFETCH(QString, control);
    TestProgram t;
    t.setShowHelp(QStringLiteral("0"));
    t.writeVault(QStringLiteral("pw12"), {{"ann", "pw1", "a.example"}});
    t.runSplash();
    if (window == u"main")
        t.acceptPassword();
    QWidget *shown = window == u"main" ? static_cast<QWidget *>(t.mainWindow())
                                       : static_cast<QWidget *>(t.program->pass.window());
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    QWidget *part = ::control<QWidget>(shown, control, 0);
    if (auto *list = qobject_cast<QTreeView *>(part))
        part = list->header();
    QVERIFY(part);
    QRect rect(part->mapTo(shown, QPoint(0, 0)), part->size());
    // Inside the border; below the picture on a button with one.
    rect.adjust(3, 3, -3, -3);
    if (auto *button = qobject_cast<QToolButton *>(part))
        rect.setTop(rect.top() + button->iconSize().height());
    const double ratio = drawnContrast(shown->grab().toImage(), rect);
    QVERIFY2(ratio >= 4.5, qPrintable(QString::number(ratio, 'f', 2)));
}

void TestSkinning::topmostKeepsPlaceAndSize_data()
{
    QTest::addColumn<bool>("startOnTop");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QList<bool>>("calls");
    QTest::addColumn<bool>("expected");
    // clang-format off
    QTest::newRow("on, shown") << false << true << QList<bool>{true} << true;
    QTest::newRow("on twice, hidden") << false << false << QList<bool>{true, true} << true;
    QTest::newRow("off, shown") << true << true << QList<bool>{false} << false;
    // clang-format on
}

void TestSkinning::topmostKeepsPlaceAndSize()
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

void TestSkinning::marksAndTextStandOut()
{
    TestProgram t;
    t.setShowHelp(QStringLiteral("0"));
    t.writeVault(QStringLiteral("pw12"), {{"ann", "pw1", "a.example"}, {"bob", "pw2", ""}});
    t.openVault();
    Form1 *main = t.mainWindow();
    QApplication::setActiveWindow(main);
    QVERIFY(QTest::qWaitForWindowActive(main));
    const auto within = [](QWidget *control, QWidget *window, const QRect &rect) {
        return QRect(control->mapTo(window, rect.topLeft()), rect.size());
    };
    const auto ratio = [](double value) {
        return qPrintable(QString::number(value, 'f', 2));
    };

    // The list's rows, and its frame with the focus against without it.
    auto *list = control<QTreeView>(main, QStringLiteral("lstPass"));
    QToolButton *add = control<QToolButton>(main, QStringLiteral("cmdAdd"), 0);
    add->setFocus();
    const QImage unfocused = main->grab().toImage();
    QRect row = list->visualRect(list->model()->index(1, 0));
    row.setWidth(list->viewport()->width());
    const double rowText = drawnContrast(unfocused, within(list->viewport(), main, row));
    QVERIFY2(rowText >= 4.5, ratio(rowText));
    list->setFocus();
    const QImage focused = main->grab().toImage();
    const QPoint edge = list->mapTo(main, QPoint(0, list->height() / 2));
    const double frame = contrast(focused.pixelColor(edge), unfocused.pixelColor(edge));
    QVERIFY2(frame >= 3, ratio(frame));

    // Menu items on their face.
    auto *data = control<QMenu>(main, QStringLiteral("mnuData"));
    data->popup(QPoint(100, 100));
    QVERIFY(QTest::qWaitForWindowExposed(data));
    const double item = drawnContrast(
        data->grab().toImage(), data->actionGeometry(data->actions().at(1)).adjusted(2, 1, -2, -1));
    // Wine's offscreen platform finds no fonts and draws menu text as specks;
    // what it draws there says nothing of what Windows draws.
    if (!(QSysInfo::productType() == QLatin1String("windows")
          && QGuiApplication::platformName() == QLatin1String("offscreen")))
        QVERIFY2(item >= 4.5, ratio(item));
    data->hide();

    // In the editor: typed text, the caret of an empty box, and the focus
    // mark of a check box against the same box without it.
    control<QAction>(main, QStringLiteral("mnuDataItem"), 0)->trigger();
    frmAdd *editor = t.program->add.window();
    QApplication::setActiveWindow(editor);
    QVERIFY(QTest::qWaitForWindowActive(editor));
    auto *username = control<QLineEdit>(editor, QStringLiteral("txtUsername"));
    auto *password = control<QLineEdit>(editor, QStringLiteral("txtPassword"));
    auto *digits = control<QCheckBox>(editor, QStringLiteral("chkDigits"));
    password->setText(QStringLiteral("Wgqy8HH"));
    username->setFocus();
    const QImage typed = editor->grab().toImage();
    const QRect inside(3, 3, username->width() - 6, username->height() - 6);
    const double text = drawnContrast(typed, within(password, editor, inside));
    QVERIFY2(text >= 4.5, ratio(text));
    const double caret = drawnContrast(typed, within(username, editor, inside));
    QVERIFY2(caret >= 3, ratio(caret));
    const QImage plain = digits->grab().toImage();
    digits->setFocus();
    const QImage marked = digits->grab().toImage();
    double mark = 1;
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x)
            mark = std::max(mark, contrast(plain.pixelColor(x, y), marked.pixelColor(x, y)));
    }
    QVERIFY2(mark >= 3, ratio(mark));
}

QTEST_MAIN(TestSkinning)
#include "tst_Skinning.moc"
