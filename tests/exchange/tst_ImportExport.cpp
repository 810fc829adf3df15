#include "TestProgram.h"
#include "VaultBytes.h"
#include "app/Form1.h"
#include "exchange/CsvExport.h"
#include "exchange/frmColumns.h"
#include "password/frmPass.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#ifndef Q_OS_WIN
#include "WatchedFifo.h"
#endif

namespace {

const std::vector<VaultEntry> kVault
    = {{"bob", "s3cret", "https://example.com/login"}, {"alice", "alpha", ""}};

// How an export's target reaches the vault.
enum Link { None, Symbolic, Hard };

} // namespace

// File, Import... and Export... as a user meets them, on a vault of two
// entries; the boxes and file dialogs are answered by the fakes.
class TestImportExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void importAddsWhatTheSummarySaysOnYes();
    void importChangesNothingOnNo();
    void unknownHeaderAsksForTheColumns();
    void unusableFileChangesNothing();
    void namedPipeIsRefusedUnopened();
    void largeFileIsReadBehindProgress();
    void lockStopsAFileBeingRead_data();
    void lockStopsAFileBeingRead();
    void failedSaveTakesTheImportBack();
    void exportWarnsFirstThenWritesForTheOwnerOnly();
    void exportCancelledAtTheWarningWritesNothing();
    void exportRefusesTheProgramsOwnFiles_data();
    void exportRefusesTheProgramsOwnFiles();
    void columnDialogByKeyboard();

private:
    QString writeFile(const QString &name, const QByteArray &bytes);
    void trigger(const char *item) { control<QAction>(main, QLatin1StringView(item))->trigger(); }
    std::vector<VaultEntry> savedEntries() const { return parsedEntries(t->readVault()); }

    std::unique_ptr<TestProgram> t;
    Form1 *main = nullptr;
};

void TestImportExport::init()
{
    t = std::make_unique<TestProgram>();
    t->writeVault(QStringLiteral("pw12"), kVault);
    t->openVault();
    main = t->mainWindow();
}

void TestImportExport::cleanup()
{
    t.reset();
}

QString TestImportExport::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(t->folder.path()).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestImportExport::importAddsWhatTheSummarySaysOnYes()
{
    t->fakes.files.answers.enqueue(writeFile(QStringLiteral("chrome.csv"),
                                             "name,url,username,password,note\n"
                                             "example.com,https://example.com/login,bob,s3cret,\n"
                                             "shop,https://shop.example,carol,\"pa,ss\",note\n"
                                             "pl,https://pl.example,dorota,has\xC5\x82,\n"));
    t->fakes.messages.answers.enqueue(MessageBox::Yes);
    trigger("mnuImport");

    QCOMPARE(t->fakes.messages.shown.size(), 1);
    const QString summary = t->fakes.messages.shown[0].text;
    QVERIFY2(summary.contains(QStringLiteral("1 entry will be added")), qPrintable(summary));
    QVERIFY2(summary.contains(QStringLiteral("already in the vault with the same username, "
                                             "password and location (row 2)")),
             qPrintable(summary));
    QVERIFY2(summary.contains(QStringLiteral("row 4, password: \"\u0142\" (U+0142)")),
             qPrintable(summary));
    QVERIFY2(summary.contains(QStringLiteral("the columns \"name\", \"note\"")),
             qPrintable(summary));

    std::vector<VaultEntry> expected = kVault;
    expected.push_back({"carol", "pa,ss", "https://shop.example"});
    QCOMPARE(t->program->entries().entries().size(), expected.size());
    QCOMPARE(savedEntries(), expected);
    QCOMPARE(t->status(), QStringLiteral("Imported 1 entry.  Data saved."));
}

void TestImportExport::importChangesNothingOnNo()
{
    const QByteArray before = t->readVault();
    t->fakes.files.answers.enqueue(writeFile(QStringLiteral("firefox.csv"),
                                             "\"url\",\"username\",\"password\",\"httpRealm\","
                                             "\"formActionOrigin\",\"guid\",\"timeCreated\","
                                             "\"timeLastUsed\",\"timePasswordChanged\"\r\n"
                                             "\"https://new.example\",\"eve\",\"pw\",,,,,,\r\n"));
    t->fakes.messages.answers.enqueue(MessageBox::No);
    trigger("mnuImport");
    QCOMPARE(t->fakes.messages.shown.size(), 1);
    QVERIFY(t->fakes.messages.shown[0].text.contains(QStringLiteral("export of Firefox")));
    QCOMPARE(t->program->entries().count(), int(kVault.size()));
    QCOMPARE(t->readVault(), before);
}

void TestImportExport::unknownHeaderAsksForTheColumns()
{
    const QString path = writeFile(QStringLiteral("other.csv"),
                                   "Site,Secret,Login,Comment\nhttps://x.example,pw,zed,hi\n");
    FakeColumnDialogs &columns = t->fakes.columns;

    t->fakes.files.answers.enqueue(path);
    trigger("mnuImport");
    QCOMPARE(columns.asked, (QList<QStringList> {{"Site", "Secret", "Login", "Comment"}}));
    // The guess finds the three by their names.
    QCOMPARE(columns.guesses[0].username, 2);
    QCOMPARE(columns.guesses[0].password, 1);
    QCOMPARE(columns.guesses[0].location, 0);
    QVERIFY(t->fakes.messages.shown.isEmpty());
    QCOMPARE(t->program->entries().count(), int(kVault.size()));

    columns.answer = ColumnDialogs::Choice {2, 1, 0};
    t->fakes.files.answers.enqueue(path);
    t->fakes.messages.answers.enqueue(MessageBox::Yes);
    trigger("mnuImport");
    QVERIFY(t->fakes.messages.shown[0].text.contains(QStringLiteral("the column \"Comment\"")));
    QCOMPARE(savedEntries().back(), (VaultEntry {"zed", "pw", "https://x.example"}));
}

void TestImportExport::unusableFileChangesNothing()
{
    const QByteArray before = t->readVault();
    t->fakes.files.answers.enqueue(
        writeFile(QStringLiteral("picture.csv"), QByteArray("\x89PNG\r\n\x1A\n\0\0", 10)));
    trigger("mnuImport");
    QCOMPARE(t->fakes.messages.shown.size(), 1);
    const QString text = t->fakes.messages.shown[0].text;
    QVERIFY2(text.contains(QStringLiteral("binary data")), qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral("Nothing has been changed.")), qPrintable(text));
    QCOMPARE(t->readVault(), before);
    QCOMPARE(t->status(), QStringLiteral("Nothing imported."));
}

void TestImportExport::namedPipeIsRefusedUnopened()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no named pipes in its file system.");
#else
    const QString path = QDir(t->folder.path()).filePath(QStringLiteral("pipe.csv"));
    const WatchedFifo fifo(path);
    QVERIFY(fifo.made());
    t->fakes.files.answers.enqueue(path);
    trigger("mnuImport");
    // Opening it would have waited for a writer, for good.
    QVERIFY(!fifo.wasOpened());
    QCOMPARE(t->fakes.messages.shown.size(), 1);
    const QString text = t->fakes.messages.shown[0].text;
    QVERIFY2(text.startsWith(u'"' + path
                             + QStringLiteral("\" cannot be imported.\n\nIt is a named "
                                              "pipe, not a regular file.")),
             qPrintable(text));
    QCOMPARE(t->status(), QStringLiteral("Nothing imported."));
#endif
}

void TestImportExport::largeFileIsReadBehindProgress()
{
    QByteArray csv("name,url,username,password\n");
    int rows = 0;
    while (csv.size() <= ExchangeCommands::kReadInBackground + 1000) {
        csv += "n,https://example.org/a/long/path/to/keep/the/row/count/down,"
            + QByteArray::number(rows) + ",pw\n";
        ++rows;
    }
    t->fakes.files.answers.enqueue(writeFile(QStringLiteral("big.csv"), csv));
    trigger("mnuImport");
    // The reading has begun, behind the progress dialog.
    bool progressShown = false;
    for (const QWidget *window : QApplication::topLevelWidgets())
        progressShown |= window->objectName() == u"importProgress" && window->isVisible();
    QVERIFY(progressShown);
    QTRY_COMPARE(t->fakes.messages.shown.size(), 1);
    const QString summary = t->fakes.messages.shown[0].text;
    QVERIFY2(summary.contains(QLocale().toString(rows) + QStringLiteral(" entries will be added")),
             qPrintable(summary));
}

void TestImportExport::lockStopsAFileBeingRead_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Ctrl+L in the progress dialog") << "key";
    QTest::newRow("ten quiet minutes") << "idle";
}

void TestImportExport::lockStopsAFileBeingRead()
{
    QFETCH(QString, how);
    const QByteArray before = t->readVault();
    QByteArray csv("name,url,username,password\n");
    for (int row = 0; csv.size() <= 16 * ExchangeCommands::kReadInBackground; ++row)
        csv += "n,https://example.org/" + QByteArray::number(row) + ",user,pw\n";
    t->fakes.files.answers.enqueue(writeFile(QStringLiteral("big.csv"), csv));
    t->fakes.messages.answers.enqueue(MessageBox::Yes);

    // While the file is read: the lock is there at once, whether the
    // reading runs beside the event loop or in a loop of its own.
    bool lockedAtOnce = false;
    QTimer::singleShot(0, this, [&] {
        if (how == u"key") {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (window->objectName() == u"importProgress" && window->isVisible())
                    QTest::keyClick(window, Qt::Key_L, Qt::ControlModifier);
            }
        } else {
            t->fakes.clock.time = t->fakes.clock.time.addSecs(10 * 60);
            t->program->inactivity().checkIdle();
        }
        lockedAtOnce = t->program->isLocked() && t->program->pass.isLoaded() && !main->isVisible();
    });
    trigger("mnuImport");
    QTRY_VERIFY(lockedAtOnce);
    // The reading stopped, and the import with it: no summary, nothing added.
    QTRY_COMPARE(t->status(), QStringLiteral("Import cancelled; nothing has been changed."));
    QVERIFY(t->fakes.messages.shown.isEmpty());
    t->acceptPassword(QStringLiteral("pw12"));
    QVERIFY(main->isVisible());
    QCOMPARE(t->program->entries().count(), int(kVault.size()));
    QCOMPARE(t->readVault(), before);
}

void TestImportExport::failedSaveTakesTheImportBack()
{
    const QByteArray before = t->readVault();
    // A folder where the file should be: the save cannot replace it.
    QVERIFY(QFile::rename(t->vaultPath(), t->vaultPath() + QStringLiteral(".away")));
    QVERIFY(QDir().mkdir(t->vaultPath()));
    t->fakes.files.answers.enqueue(writeFile(
        QStringLiteral("new.csv"), "name,url,username,password\nn,https://n.example,nina,pw\n"));
    t->fakes.messages.answers.enqueue(MessageBox::Yes);
    trigger("mnuImport");
    QCOMPARE(t->fakes.messages.shown.size(), 2);
    QVERIFY(t->fakes.messages.shown[1].text.endsWith(QStringLiteral("Nothing has been imported.")));
    QCOMPARE(std::vector<VaultEntry>(t->program->entries().entries().begin(),
                                     t->program->entries().entries().end()),
             kVault);
    QVERIFY(!t->program->session().hasUnsavedChanges());
    QCOMPARE(t->status(), QStringLiteral("Nothing imported."));
}

void TestImportExport::exportWarnsFirstThenWritesForTheOwnerOnly()
{
    const QString path = QDir(t->folder.path()).filePath(QStringLiteral("out.csv"));
    writeFile(QStringLiteral("out.csv"), "an older export");
    QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFile::ReadOther));
    t->fakes.files.answers.enqueue(path);
    t->fakes.messages.answers.enqueue(MessageBox::Ok);
    trigger("mnuExport");

    QCOMPARE(t->fakes.messages.shown.size(), 1);
    QVERIFY(t->fakes.messages.shown[0].text.contains(QStringLiteral("in plain text")));
    QCOMPARE(t->fakes.files.asked.size(), 1);
    QVERIFY(t->fakes.files.asked[0].endsWith(QStringLiteral("Vorsell passwords.csv")));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), CsvExport::content(kVault));
#ifndef Q_OS_WIN
    // Nobody but the owner may read it, however the older file was set.
    QCOMPARE(file.permissions() & 0x00FF, QFileDevice::Permissions());
#endif
    QCOMPARE(t->status(),
             QStringLiteral("Exported 2 entries to %1").arg(QDir::toNativeSeparators(path)));
}

void TestImportExport::exportCancelledAtTheWarningWritesNothing()
{
    t->fakes.messages.answers.enqueue(MessageBox::Cancel);
    trigger("mnuExport");
    QCOMPARE(t->fakes.messages.shown.size(), 1);
    QVERIFY(t->fakes.files.asked.isEmpty());
    QCOMPARE(t->status(), QStringLiteral("Nothing exported."));
}

void TestImportExport::exportRefusesTheProgramsOwnFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("link");
    QTest::addColumn<QString>("what");
#ifndef Q_OS_WIN
    QTest::addRow("the vault by a symbolic link")
        << "passwords.csv" << int(Symbolic) << "the vault";
    QTest::addRow("the vault by a second link")
        << "other/passwords.csv" << int(Hard) << "the vault";
#endif
    QTest::addRow("the vault by a path through ..")
        << "other/../data.enc" << int(None) << "the vault";
    QTest::addRow("the vault's lock") << "data.enc.lock" << int(None) << "the vault's lock file";
    QTest::addRow("the help file") << "Help.rtf" << int(None) << "the program's help file";
}

void TestImportExport::exportRefusesTheProgramsOwnFiles()
{
    QFETCH(QString, name);
    QFETCH(int, link);
    QFETCH(QString, what);
    const QDir folder(t->folder.path());
    QVERIFY(folder.mkdir(QStringLiteral("other")));
    writeFile(QStringLiteral("Help.rtf"), "{\\rtf1 Help}");
    const QString path = folder.filePath(name);
    if (link == Symbolic)
        QVERIFY(QFile::link(t->vaultPath(), path));
#ifndef Q_OS_WIN
    if (link == Hard)
        QCOMPARE(::link(QFile::encodeName(t->vaultPath()).constData(),
                        QFile::encodeName(path).constData()),
                 0);
#endif
    const QByteArray vault = t->readVault();
    QFile target(path);
    QVERIFY(target.open(QIODevice::ReadOnly));
    const QByteArray before = target.readAll();
    target.close();
    t->fakes.files.answers.enqueue(path);
    trigger("mnuExport");

    QCOMPARE(t->fakes.messages.shown.size(), 2);
    const QString text = t->fakes.messages.shown[1].text;
    QVERIFY2(text.contains(what) && text.contains(QStringLiteral("Nothing has been written")),
             qPrintable(text));
    QCOMPARE(t->readVault(), vault);
    QVERIFY(target.open(QIODevice::ReadOnly));
    QCOMPARE(target.readAll(), before);
    QCOMPARE(t->status(), QStringLiteral("Nothing exported."));
}

void TestImportExport::columnDialogByKeyboard()
{
    frmColumns dialog({"Title", "Login", "Secret", "Site"},
                      CsvImport::Columns {{1, -1, 3}, -1, {}});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto *ok = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
    auto *password = dialog.findChild<QComboBox *>(QStringLiteral("cboPassword"));
    QCOMPARE(password->accessibleName(), QStringLiteral("Password"));
    QVERIFY(!ok->isEnabled());

    // Alt+P reaches the password box through its label; the box lists
    // (none), then the columns: three steps down is "Secret".
    QTest::keyClick(&dialog, Qt::Key_P, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), password);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(password, Qt::Key_Down);
    QVERIFY(ok->isEnabled());
    QTest::keyClick(password, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const CsvImport::Columns chosen = dialog.columns();
    QCOMPARE(chosen[Field::Username], 1);
    QCOMPARE(chosen[Field::Password], 2);
    QCOMPARE(chosen[Field::Location], 3);
}

QTEST_MAIN(TestImportExport)
#include "tst_ImportExport.moc"
