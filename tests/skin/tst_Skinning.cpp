#include "TestProgram.h"
#include "app/Form1.h"
#include "skin/Skin.h"
#include "skin/SkinCompanion.h"
#include "skin/SkinLabel.h"
#include "skin/Skinning.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeView>

class TestSkinning : public QObject
{
    Q_OBJECT

private slots:
    void roles_data();
    void roles();
    void typeNames();
    void mainWindowColours();
    void companionSkinsNewWindowsWhileStarted();
};

void TestSkinning::roles_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("role");
    QTest::newRow("CommandButton") << "CommandButton" << int(SkinRole::BackOnly);
    for (const char *name : {"TextBox", "ComboBox", "FileListBox", "DirListBox", "DriveListBox",
                             "ListBox", "ListView"})
        QTest::newRow(name) << name << int(SkinRole::BackAndFore);
    QTest::newRow("PictureBox") << "PictureBox" << int(SkinRole::PanelBackground);
    for (const char *name :
         {"Label", "SkinLabel", "CheckBox", "RichTextBox", "StatusBar", "Image", "Timer", "Menu"})
        QTest::newRow(name) << name << int(SkinRole::Untouched);
    QTest::newRow("comparison is exact") << "commandbutton" << int(SkinRole::Untouched);
}

void TestSkinning::roles()
{
    QFETCH(QString, type);
    QFETCH(int, role);
    QCOMPARE(int(skinRoleFor(type)), role);
}

void TestSkinning::typeNames()
{
    QWidget window;
    QCOMPARE(controlTypeName(new QPushButton(&window)), QStringLiteral("CommandButton"));
    QCOMPARE(controlTypeName(new QToolButton(&window)), QStringLiteral("CommandButton"));
    QCOMPARE(controlTypeName(new QLineEdit(&window)), QStringLiteral("TextBox"));
    QCOMPARE(controlTypeName(new QTreeView(&window)), QStringLiteral("ListView"));
    QCOMPARE(controlTypeName(new QLabel(&window)), QStringLiteral("Label"));
    QCOMPARE(controlTypeName(new SkinLabel(&window)), QStringLiteral("SkinLabel"));
    QCOMPARE(controlTypeName(new QCheckBox(&window)), QStringLiteral("CheckBox"));
    QCOMPARE(controlTypeName(new QTextBrowser(&window)), QStringLiteral("RichTextBox"));
    QCOMPARE(controlTypeName(new QStatusBar(&window)), QStringLiteral("StatusBar"));
    auto *picture = new QLabel(&window);
    picture->setProperty("controlType", QStringLiteral("PictureBox"));
    QCOMPARE(controlTypeName(picture), QStringLiteral("PictureBox"));
}

void TestSkinning::mainWindowColours()
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
    QCOMPARE(list->palette().color(QPalette::Text), fore);
    // The status bar keeps its own colours: it was never given a palette.
    QVERIFY(
        !control<QStatusBar>(main, QStringLiteral("StatusBar1"))->testAttribute(Qt::WA_SetPalette));
    // The window itself is painted by the skin.
    QCOMPARE(main->palette().color(QPalette::Window), QColor::fromRgb(colours.panel));
    QVERIFY(main->property("skinned").toBool());
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

    QVERIFY(companion.stop());
    QDialog second;
    const QColor before = second.palette().color(QPalette::Window);
    second.show();
    QCOMPARE(second.palette().color(QPalette::Window), before);
}

QTEST_MAIN(TestSkinning)
#include "tst_Skinning.moc"
