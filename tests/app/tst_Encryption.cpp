#include "TestProgram.h"
#include "app/Form1.h"
#include "password/frmPass.h"
#include "password/frmVaultPassword.h"
#include "platform/DesktopPlatform.h"
#include "platform/MessageBoxes.h"
#include "vault/EncryptedFormat.h"
#include "vault/VaultFormat.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace EncryptedFormat;

namespace {

const QString kMaster = QStringLiteral("pw12");
const QString kWrong = QStringLiteral("Sorry, the password you entered was not correct.");

std::vector<VaultEntry> threeEntries()
{
    return {{"ann", "pw1", "a.example"}, {"bob", "pw2", "b.example"}, {"cy", "pw3", "c.example"}};
}

void writeEncrypted(TestProgram &t, const QString &password)
{
    VaultKey key;
    QCOMPARE(deriveKey(password, {1, 1024}, newSalt(), &key), Problem::None);
    t.writeVault(seal(key, threeEntries()));
}

QAction *fileCommand(TestProgram &t, const char *name)
{
    return t.mainWindow()->findChild<QAction *>(QString::fromLatin1(name));
}

// Types into the dialog's boxes and presses Enter in the last one.
void typeAndEnter(QWidget *dialog, const QStringList &boxes, const QStringList &texts)
{
    QLineEdit *last = nullptr;
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        last = control<QLineEdit>(dialog, boxes[i]);
        QVERIFY(last);
        last->clear();
        QTest::keyClicks(last, texts[i]);
    }
    QTest::keyClick(last, Qt::Key_Return);
}

// Counts the timer events that reach the program's logic: timers of its
// own, not those of widgets settling after a change.
class TimerEvents : public QObject
{
public:
    TimerEvents() { qApp->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        count += event->type() == QEvent::Timer && !watched->isWidgetType();
        return false;
    }
};

} // namespace

// Encrypted vaults as a user meets them: unlocking one at start-up, and the
// File menu's commands that encrypt, decrypt and change the master password.
class TestEncryption : public QObject
{
    Q_OBJECT

private slots:
    void unlockAtStartup();
    void encryptAndRemoveFromTheMenu();
    void changeMasterPasswordKeepsTheRules();
    void removeEncryptionQuestionDefaultsToNo_data();
    void removeEncryptionQuestionDefaultsToNo();
    void derivationOutlivesItsProgram_data();
    void derivationOutlivesItsProgram();
};

void TestEncryption::unlockAtStartup()
{
    TestProgram t;
    writeEncrypted(t, kMaster);
    t.runSplash();
    frmPass *dialog = t.program->pass.window();
    QVERIFY(dialog);
    t.fakes.messages.answers.enqueue(MessageBox::Retry);

    // A wrong password: the key is derived off this thread meanwhile, and a
    // second Enter starts nothing more.
    QLineEdit *box = control<QLineEdit>(dialog, QStringLiteral("txtPass"));
    QTest::keyClicks(box, QStringLiteral("pw13"));
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(dialog->isChecking());
    QCOMPARE(control<QLabel>(dialog, QStringLiteral("SkinLabel1"))->text(),
             QStringLiteral("Checking the password..."));
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(!dialog->isChecking());
    QCOMPARE(t.fakes.messages.shown.size(), 1);
    QCOMPARE(t.fakes.messages.shown[0].text, kWrong);
    QCOMPARE(dialog->tries(), 1);
    QVERIFY(!t.mainWindow()->isVisible());

    QTest::keyClicks(box, kMaster);
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(t.mainWindow()->isVisible());
    QCOMPARE(t.status(), QStringLiteral("Loaded 3 entries"));
    QVERIFY(!t.program->pass.isLoaded());
    QVERIFY(t.program->hasEnded() == false);
    QVERIFY(!fileCommand(t, "mnuEncrypt")->isVisible());
    QVERIFY(fileCommand(t, "mnuRemoveEncryption")->isVisible());
}

void TestEncryption::encryptAndRemoveFromTheMenu()
{
    TestProgram t;
    t.writeVault(kMaster, threeEntries());
    t.openVault(kMaster);
    QVERIFY(t.mainWindow()->isVisible());
    QVERIFY(fileCommand(t, "mnuEncrypt")->isVisible());
    QVERIFY(!fileCommand(t, "mnuRemoveEncryption")->isVisible());

    // Encrypt: the master password once more, then the question, answered
    // No: nothing changes.
    const QByteArray scrambled = t.readVault();
    t.fakes.messages.answers.enqueue(MessageBox::No);
    fileCommand(t, "mnuEncrypt")->trigger();
    QVERIFY(t.program->vaultPassword.isLoaded());
    typeAndEnter(t.program->vaultPassword.window(), {"txtCurrent"}, {kMaster});
    QVERIFY(!t.program->vaultPassword.isLoaded());
    QCOMPARE(t.readVault(), scrambled);

    // Yes: the vault is rewritten encrypted.
    t.fakes.messages.answers.enqueue(MessageBox::Yes);
    fileCommand(t, "mnuEncrypt")->trigger();
    frmVaultPassword *dialog = t.program->vaultPassword.window();
    typeAndEnter(dialog, {"txtCurrent"}, {kMaster});
    QCOMPARE(t.fakes.messages.shown.last().style, MessageBox::YesNo | MessageBox::Exclamation);
    QVERIFY(dialog->isWorking());
    QTRY_VERIFY_WITH_TIMEOUT(!t.program->vaultPassword.isLoaded(), 20000);
    QCOMPARE(t.status(), QStringLiteral("Vault encrypted.  Data saved."));
    QVERIFY(isEncrypted(t.readVault()));
    QVERIFY(fileCommand(t, "mnuRemoveEncryption")->isVisible());
    QVERIFY(!fileCommand(t, "mnuEncrypt")->isVisible());

    // And back, byte for byte as the scrambled vault was.
    t.fakes.messages.answers.enqueue(MessageBox::Yes);
    fileCommand(t, "mnuRemoveEncryption")->trigger();
    typeAndEnter(t.program->vaultPassword.window(), {"txtCurrent"}, {kMaster});
    QCOMPARE(t.status(), QStringLiteral("Encryption removed.  Data saved."));
    QCOMPARE(t.readVault(), scrambled);
    QVERIFY(fileCommand(t, "mnuEncrypt")->isVisible());
}

void TestEncryption::changeMasterPasswordKeepsTheRules()
{
    TestProgram t;
    t.writeVault(kMaster, threeEntries());
    t.openVault(kMaster);
    const QStringList boxes = {"txtCurrent", "txtNew", "txtRetype"};
    struct Try
    {
        QStringList typed;
        QString says;
    };
    const Try tries[] = {
        {{"pw1", "abcd", "abcd"}, kWrong},
        {{kMaster, "abc", "abc"},
         QStringLiteral("You must enter a password that is at least 4 characters long")},
        {{kMaster, "abcd", "abcD"},
         QStringLiteral("Your passwords did not match.  Please try again.")},
    };
    fileCommand(t, "mnuChangePassword")->trigger();
    frmVaultPassword *dialog = t.program->vaultPassword.window();
    for (const Try &attempt : tries) {
        typeAndEnter(dialog, boxes, attempt.typed);
        QCOMPARE(t.fakes.messages.shown.last().text, attempt.says);
        QVERIFY(t.program->vaultPassword.isLoaded());
    }
    typeAndEnter(dialog, boxes, {kMaster, "a new one", "a new one"});
    QVERIFY(!t.program->vaultPassword.isLoaded());
    QCOMPARE(t.status(), QStringLiteral("Master password changed.  Data saved."));
    QCOMPARE(t.readVault(), VaultFormat::savedContent(QStringLiteral("a new one"), threeEntries()));
}

void TestEncryption::removeEncryptionQuestionDefaultsToNo_data()
{
    QTest::addColumn<int>("key");
    QTest::addRow("Enter") << int(Qt::Key_Return);
    QTest::addRow("Escape") << int(Qt::Key_Escape);
}

void TestEncryption::removeEncryptionQuestionDefaultsToNo()
{
    QFETCH(int, key);
    // Real boxes, answered from the keyboard.
    TestProgram t;
    WidgetMessageBoxes boxes;
    Platform platform = t.fakes.platform();
    platform.messages = &boxes;
    t.program = std::make_unique<Program>(t.folder.path(), t.userDataFolder(), platform);
    writeEncrypted(t, kMaster);
    t.runSplash();
    typeAndEnter(t.program->pass.window(), {"txtPass"}, {kMaster});
    QTRY_VERIFY(t.mainWindow()->isVisible());
    const QByteArray encrypted = t.readVault();

    fileCommand(t, "mnuRemoveEncryption")->trigger();
    QString asked;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            asked = box->text();
            QTest::keyClick(box, Qt::Key(key));
        }
    });
    answer.start(10);
    typeAndEnter(t.program->vaultPassword.window(), {"txtCurrent"}, {kMaster});
    QVERIFY(asked.endsWith(QStringLiteral("Remove the encryption now?")));
    QVERIFY(!t.program->vaultPassword.isLoaded());
    QCOMPARE(t.readVault(), encrypted);
}

void TestEncryption::derivationOutlivesItsProgram_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("the program ends") << "end";
    QTest::newRow("Ctrl+L, then the program goes") << "lock";
}

void TestEncryption::derivationOutlivesItsProgram()
{
    QFETCH(QString, how);
    TestProgram t;
    t.writeVault(kMaster, threeEntries());
    t.openVault(kMaster);
    const QByteArray scrambled = t.readVault();
    t.fakes.messages.answers.enqueue(MessageBox::Yes);
    fileCommand(t, "mnuEncrypt")->trigger();
    frmVaultPassword *dialog = t.program->vaultPassword.window();
    typeAndEnter(dialog, {"txtCurrent"}, {kMaster});
    QVERIFY(dialog->isWorking());

    if (how == u"lock") {
        // From the window that says the key is being derived: everything
        // goes at once, and the lock waits for the key without a timer.
        QTest::keyClick(dialog, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(t.program->isLocked());
        QVERIFY(!t.mainWindow()->isVisible() && !dialog->isVisible());
        TimerEvents timers;
        QTest::qWait(300);
        if (!t.program->pass.isLoaded())
            QCOMPARE(timers.count, 0);
    } else {
        t.mainWindow()->close();
        QCOMPARE(t.fakes.ender.endCount, 1);
    }
    // The program goes while the key is being derived; what the derivation
    // hands back reaches nobody.
    t.program.reset();
    QTest::qWait(50);
    if (how == u"end")
        QCOMPARE(t.readVault(), scrambled);
}

QTEST_MAIN(TestEncryption)
#include "tst_Encryption.moc"
