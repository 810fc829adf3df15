#include "FakePlatform.h"
#include "password/EncryptionCommands.h"
#include "vault/EncryptedFormat.h"
#include "vault/MasterPassword.h"
#include "vault/VaultFile.h"
#include "vault/VaultSession.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kMaster = QStringLiteral("master one");
const QString kNext = QStringLiteral("the next one");
const std::vector<VaultEntry> kEntries = {{"ann", "pw-1", "a.example"}, {"bob", "pw-2", ""}};

} // namespace

// The commands that rewrite the vault, with no window at all: the prompts
// and the message boxes answer from a script, the session answers whether
// each password typed is the master password.
class TestEncryptionCommands : public QObject
{
    Q_OBJECT

private slots:
    void commandAsksTheSessionThenRewrites_data();
    void commandAsksTheSessionThenRewrites();
};

void TestEncryptionCommands::commandAsksTheSessionThenRewrites_data()
{
    QTest::addColumn<bool>("encrypted");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QStringList>("events");
    const QStringList derived = {"refused", "confirmed", "working", "idle", "finished"};
    QTest::newRow("encrypt") << false << "encrypt"
                             << "Vault encrypted.  Data saved." << derived;
    QTest::newRow("remove encryption") << true << "remove"
                                       << "Encryption removed.  Data saved."
                                       << QStringList {"refused", "confirmed", "idle", "finished"};
    QTest::newRow("change, scrambled") << false << "change"
                                       << "Master password changed.  Data saved."
                                       << QStringList {"refused", "confirmed", "idle", "finished"};
    QTest::newRow("change, encrypted") << true << "change"
                                       << "Master password changed.  Data saved." << derived;
}

// A wrong password is refused and a right one goes on to the rewrite: the
// key is derived while the prompt says so, and the vault opens afterwards
// with the master password it now has, in the format it now has.
void TestEncryptionCommands::commandAsksTheSessionThenRewrites()
{
    QFETCH(bool, encrypted);
    QFETCH(QString, command);
    QFETCH(QString, status);
    QFETCH(QStringList, events);
    QTemporaryDir folder;
    QString error;
    QVERIFY(VaultFile(VaultFile::pathIn(folder.path())).save(kMaster, kEntries, &error));
    FakePlatform fakes;
    FakePasswordPrompts prompts;
    const auto answered = [](VaultOutcome *outcome) {
        return [outcome](const VaultOutcome &answer) {
            *outcome = answer;
        };
    };
    VaultOutcome outcome = VaultOutcome::cancelled();
    {
        VaultSession session(folder.path());
        session.setNewKeyParams({1, 1024});
        QVERIFY(session.check(QStringLiteral("Vorsell")).ok());
        session.askMasterPassword(MasterPassword::fromText(kMaster), &session, answered(&outcome));
        QVERIFY(outcome.ok());
        if (encrypted) {
            outcome = VaultOutcome::cancelled();
            session.encrypt(MasterPassword::fromText(kMaster), &session, answered(&outcome));
            QTRY_VERIFY(outcome.ok());
        }
        EncryptionCommands commands(session, fakes.platform(), prompts);
        QSignalSpy saved(&session, &VaultSession::saved);
        prompts.typed.enqueue({QStringLiteral("master On"), kNext});
        prompts.typed.enqueue({kMaster, kNext});
        fakes.messages.answers.enqueue(MessageBox::Yes);
        if (command == u"encrypt")
            commands.encryptVault();
        else if (command == u"remove")
            commands.removeEncryption();
        else
            commands.changeMasterPassword();
        QTRY_COMPARE(prompts.events, events);
        QCOMPARE(saved.size(), 1);
        QCOMPARE(saved[0][0].toString(), status);
        QVERIFY(!commands.isWorking());
        QCOMPARE(session.isEncrypted(),
                 command == u"encrypt" || (encrypted && command != u"remove"));
    }
    VaultSession next(folder.path());
    QVERIFY(next.check(QStringLiteral("Vorsell")).ok());
    outcome = VaultOutcome::cancelled();
    next.askMasterPassword(MasterPassword::fromText(command == u"change" ? kNext : kMaster), &next,
                           answered(&outcome));
    QTRY_VERIFY(outcome.ok());
    QVERIFY(next.entries().entries().size() == kEntries.size());
}

QTEST_GUILESS_MAIN(TestEncryptionCommands)
#include "tst_EncryptionCommands.moc"
