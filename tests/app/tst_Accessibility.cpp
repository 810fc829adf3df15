#include "TestProgram.h"
#include "app/Form1.h"
#include "entries/frmAdd.h"
#include "info/Form8.h"
#include "info/frmAbout.h"
#include "password/frmPass.h"

#include <QAccessible>
#include <QLabel>
#include <QTest>

// What assistive technology reads of the program: the names and roles that
// a screen reader speaks.
class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void statusPanelIsNamedByItsText();
    void windowsAreDialogs();
};

void TestAccessibility::statusPanelIsNamedByItsText()
{
    TestProgram t;
    t.setShowHelp(QStringLiteral("0"));
    t.writeVault(QStringLiteral("pw12"), {{"ann", "pw1", "a.example"}});
    t.openVault();
    QAccessibleInterface *panel = QAccessible::queryAccessibleInterface(
        control<QLabel>(t.mainWindow(), QStringLiteral("statusPanel")));
    QVERIFY(panel);
    QVERIFY(!t.status().isEmpty());
    QCOMPARE(panel->text(QAccessible::Name), t.status());
    t.program->setStatus(QStringLiteral("Added new entry.  Data saved."));
    QCOMPARE(panel->text(QAccessible::Name), QStringLiteral("Added new entry.  Data saved."));
}

void TestAccessibility::windowsAreDialogs()
{
    const auto check = [](QWidget *window) {
        QVERIFY(window);
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(window);
        QVERIFY(face);
        QVERIFY2(face->role() == QAccessible::Dialog, qPrintable(window->objectName()));
        QCOMPARE(face->text(QAccessible::Name), window->windowTitle());
    };
    TestProgram t;
    t.setShowHelp(QStringLiteral("0"));
    t.runSplash();
    check(t.program->pass.window());
    t.acceptPassword();
    t.mainWindow()->mnuDataItem_Click(0);
    check(t.program->add.window());
    check(t.program->openHelp());
    check(t.program->openAbout());
}

QTEST_MAIN(TestAccessibility)
#include "tst_Accessibility.moc"
