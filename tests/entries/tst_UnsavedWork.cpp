#include "EntryWindowFixture.h"
#include "platform/MessageBoxes.h"
#include "platform/TerminationSignals.h"
#include "vault/EncryptedFormat.h"
#include "vault/MasterPassword.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

#include <optional>

#include <csignal>

using namespace EntryWindow;

// Nothing typed or changed is dropped without the user saying so: a save
// that fails keeps the editor open, and closing the main window asks first.
class TestUnsavedWork : public QObject, protected EntryWindowFixture
{
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

private:
    // The vault file cannot be replaced while a folder stands in its place.
    void breakVault() const
    {
        QVERIFY(QFile::remove(t->vaultPath()));
        QVERIFY(QDir(t->folder.path()).mkdir("data.enc"));
    }
    void mendVault(const QByteArray &content) const
    {
        QVERIFY(QDir(t->folder.path()).rmdir("data.enc"));
        t->writeVault(content);
    }

private slots:
    void failedSaveKeepsTheEditorOpen_data()
    {
        QTest::addColumn<bool>("adding");
        QTest::newRow("add") << true;
        QTest::newRow("edit") << false;
    }
    void failedSaveKeepsTheEditorOpen()
    {
        QFETCH(bool, adding);
        const QByteArray before = t->readVault();
        if (!adding)
            clickRow(1);
        run(adding ? Add : Edit, false);
        breakVault();
        save({"dora", "pw", "d.example"});
        QCOMPARE(t->fakes.messages.shown.size(), 1);
        QCOMPARE(lastBox().style & 0x70, 16);
        QCOMPARE(t->status(), "The entries could not be saved.");
        // The editor keeps what was typed; the list keeps what the file holds.
        QVERIFY(editor());
        QCOMPARE(control<QLineEdit>(editor(), QStringLiteral("txtUsername"))->text(), "dora");
        QCOMPARE(t->program->entries().count(), 3);
        QCOMPARE(t->program->entries().field(1, Field::Username), kEntries[0].username);
        QVERIFY(!t->program->session().hasUnsavedChanges());

        mendVault(before);
        QTest::mouseClick(control<QToolButton>(editor(), QStringLiteral("cmdAdd"), 0),
                          Qt::LeftButton);
        QVERIFY(!editor());
        QCOMPARE(saved().size(), adding ? 4u : 3u);
        QCOMPARE(adding ? saved().back() : saved().front(),
                 (VaultEntry {"dora", "pw", "d.example"}));
    }

    void closingAsksAboutTheOpenEditor_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("savedCount");
        QTest::newRow("save") << int(MessageBox::Yes) << true << 4;
        QTest::newRow("discard") << int(MessageBox::No) << true << 3;
        QTest::newRow("stay open") << int(MessageBox::Cancel) << false << 3;
    }
    void closingAsksAboutTheOpenEditor()
    {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(int, savedCount);
        run(Add, false);
        control<QLineEdit>(editor(), QStringLiteral("txtUsername"))->setText("u");
        control<QLineEdit>(editor(), QStringLiteral("txtPassword"))->setText("p");
        t->fakes.messages.answers.enqueue(answer);
        main->close();
        QCOMPARE(t->fakes.messages.shown.size(), 1);
        QCOMPARE(t->fakes.messages.shown[0].style,
                 MessageBox::YesNoCancel | MessageBox::Exclamation);
        QCOMPARE(t->program->form1.isLoaded(), !closes);
        QCOMPARE(t->fakes.ender.endCount, closes ? 1 : 0);
        QCOMPARE(int(saved().size()), savedCount);
    }

    void closingAfterAFailedDeleteAsksToSaveAgain()
    {
        const QByteArray before = t->readVault();
        QSignalSpy unsaved(&t->program->session(), &VaultSession::unsavedChanged);
        clickRow(1);
        breakVault();
        run(Delete, false); // answered OK; the save fails
        QVERIFY(t->program->session().hasUnsavedChanges());
        QCOMPARE(t->status(), "The entries could not be saved.");
        QCOMPARE(lastBox().style & 0x70, 16);
        t->fakes.messages.shown.clear();

        t->fakes.messages.answers.enqueue(MessageBox::Cancel);
        main->close();
        QVERIFY(t->program->form1.isLoaded());
        // Trying again while the file still refuses keeps the window open.
        t->fakes.messages.answers.enqueue(MessageBox::Yes);
        main->close();
        QVERIFY(t->program->form1.isLoaded());
        mendVault(before);
        t->fakes.messages.answers.enqueue(MessageBox::Yes);
        main->close();
        QVERIFY(!t->program->form1.isLoaded());
        // Announced once as unsaved, once as saved.
        QCOMPARE(unsaved, (QList<QVariantList> {{true}, {false}}));
        QCOMPARE(saved(), (std::vector<VaultEntry> {kEntries[1], kEntries[2]}));
    }

    void endRequestSavesOnlyWhatNeedsNoQuestion_data()
    {
        QTest::addColumn<bool>("encrypted");
        QTest::newRow("scrambled") << false;
        QTest::newRow("encrypted") << true;
    }
    void endRequestSavesOnlyWhatNeedsNoQuestion()
    {
#ifndef Q_OS_UNIX
        QSKIP("needs POSIX signals");
#else
        QFETCH(bool, encrypted);
        using namespace EncryptedFormat;
        if (encrypted) {
            VaultSession &session = t->program->session();
            session.setNewKeyParams({1, 1024});
            std::optional<VaultOutcome> done;
            session.encrypt(MasterPassword::fromText(u"master"), &session,
                            [&done](const VaultOutcome &outcome) { done = outcome; });
            QTRY_VERIFY(done);
            QVERIFY(done->ok());
        }
        const auto savedEntries = [&] {
            std::vector<VaultEntry> entries;
            if (!encrypted)
                return saved();
            const QByteArray file = t->readVault();
            Header header;
            VaultKey key;
            readHeader(file, &header);
            deriveKey(QStringLiteral("master"), header.params, header.salt, &key);
            EncryptedFormat::open(file, key, &entries);
            return entries;
        };
        TerminationSignals termination;
        connect(&termination, &TerminationSignals::endRequested, t->program.get(),
                &Program::endOnRequest);
        // A delete whose save failed, a password on the clipboard, and an
        // entry half typed in the editor.
        const QByteArray before = t->readVault();
        clickRow(1);
        breakVault();
        run(Delete, false);
        QVERIFY(t->program->session().hasUnsavedChanges());
        mendVault(before);
        clickRow(1);
        run(CopyPassword, false);
        QCOMPARE(QApplication::clipboard()->text(), kEntries[1].password);
        run(Add, false);
        control<QLineEdit>(editor(), QStringLiteral("txtUsername"))->setText("half");
        control<QLineEdit>(editor(), QStringLiteral("txtPassword"))->setText("typed");
        t->fakes.messages.shown.clear();

        QCOMPARE(::raise(SIGTERM), 0);
        QTRY_COMPARE(t->fakes.ender.endCount, 1);
        QVERIFY(t->fakes.messages.shown.isEmpty());
        QCOMPARE(savedEntries(), (std::vector<VaultEntry> {kEntries[1], kEntries[2]}));
        t->program.reset(); // what the end of the process does
        QVERIFY(QApplication::clipboard()->text().isEmpty());
        QVERIFY(!QFile::exists(t->vaultPath() + ".lock"));
#endif
    }

    void sessionEndAsksOnlyWhenItMay()
    {
        run(Add, false);
        control<QLineEdit>(editor(), QStringLiteral("txtUsername"))->setText("half");
        QVERIFY(t->program->commitData(false));
        QVERIFY(t->fakes.messages.shown.isEmpty());
        t->fakes.messages.answers.enqueue(MessageBox::Cancel);
        QVERIFY(!t->program->commitData(true));
        QCOMPARE(t->fakes.messages.shown.size(), 1);
        QCOMPARE(saved().size(), 3u);
        QCOMPARE(t->fakes.ender.endCount, 0);
    }
};

QTEST_MAIN(TestUnsavedWork)
#include "tst_UnsavedWork.moc"
