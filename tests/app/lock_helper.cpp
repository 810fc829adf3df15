// A program that is used a little and then locked, for the test that looks
// for secrets in its memory: it opens a vault, finds, copies, edits, deletes
// and leaves text typed in the editor, locks, says "locked" and waits to be
// taken apart. Its arguments: the program folder, holding the vault; then
// the master password and a password to leave typed in the editor, each
// masked (every character's code XOR 0x5A, in hexadecimal) so that no plain
// copy of them reaches this process but the one the program makes of the
// keys typed.
#include "TestProgram.h"
#include "app/Form1.h"
#include "app/frmSplash.h"
#include "entries/frmAdd.h"
#include "password/frmPass.h"
#include "platform/ProcessPrivacy.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include <cstdio>
#include <sys/prctl.h>

namespace {

// Answers every box with OK and keeps no copy of what it asked.
class QuietBoxes : public MessageBoxes
{
public:
    int show(const QString &, int, const QString &) override { return MessageBox::Ok; }
};

// Types a masked text into a box, key by key.
void typeMasked(QWidget *box, const char *masked)
{
    const QByteArray bytes = QByteArray::fromHex(masked);
    for (const char byte : bytes)
        QTest::keyClick(box, char(byte ^ 0x5A));
}

} // namespace

int main(int argc, char *argv[])
{
    keepMemoryPrivate();
    // What the program asked for, for the test to see; then this helper
    // (never the program) lets gcore in as any user, root or not.
    const int dumpable = prctl(PR_GET_DUMPABLE, 0, 0, 0, 0);
    prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);

    QApplication application(argc, argv);
    if (argc < 4)
        return 2;
    FakePlatform fakes;
    fakes.settings.values.insert(FakeSettings::path(fakes.version.values.productName,
                                                    QStringLiteral("Settings"),
                                                    QStringLiteral("showHelp")),
                                 QStringLiteral("0"));
    QuietBoxes boxes;
    Platform platform = fakes.platform();
    platform.messages = &boxes;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    // The vault lies in that folder, so no user data folder is needed.
    Program program(folder, folder, platform);
    program.start();
    program.splash.window()->Timer2_Timer();
    while (!program.form1.isLoaded())
        program.splash.window()->Timer2_Timer();
    typeMasked(control<QLineEdit>(program.pass.window(), QStringLiteral("txtPass")), argv[2]);
    program.pass.window()->cmdOK_Click();
    // An encrypted vault's key is derived off this thread.
    while (!program.form1.window()->isVisible() && !program.hasEnded())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);

    Form1 *main = program.form1.window();
    auto *list = control<QTreeView>(main, QStringLiteral("lstPass"));
    const auto select = [&](int row) {
        list->setCurrentIndex(list->model()->index(row, 0));
    };
    // Find by part of a password, copy one, sort by passwords.
    main->mnuFind_Click();
    control<QLineEdit>(main, QStringLiteral("txtFind"))->setText(QStringLiteral("Pw"));
    select(0);
    main->cmdCopy_Click(1);
    main->lstPass_ColumnClick(2);
    // Edit the first entry and save it unchanged; delete the middle one,
    // whose password nothing else (the clipboard, the status line) has held.
    select(0);
    main->cmdEdit_Click();
    program.add.window()->submit();
    select(1);
    main->cmdDelete_Click();
    // Half an entry typed into the editor.
    main->cmdAdd_Click(0);
    typeMasked(control<QLineEdit>(program.add.window(), QStringLiteral("txtPassword")), argv[3]);
    QApplication::processEvents();

    program.lock();
    QApplication::processEvents();
    if (!program.isLocked())
        return 3;
    std::printf("locked dumpable=%d\n", dumpable);
    std::fflush(stdout);
    return QApplication::exec();
}
