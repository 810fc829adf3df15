// A second process for the encryption tests: opens the vault in FOLDER,
// scrambled or encrypted, with the master password "master one" (claiming
// it), prints "converting", then encrypts the vault and takes the encryption
// off again, in turn, until it is killed. Its keys are derived with little
// work, so the test can derive them too, from the salt in the header.
//   convert_helper FOLDER

#include "vault/MasterPassword.h"
#include "vault/VaultSession.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <cstdio>

namespace {

// The session's answer, once it comes.
VaultOutcome answerOf(const std::function<void(VaultSession::Answer)> &ask)
{
    VaultOutcome answered = VaultOutcome::cancelled();
    QEventLoop loop;
    bool done = false;
    ask([&](const VaultOutcome &outcome) {
        answered = outcome;
        done = true;
        loop.quit();
    });
    if (!done)
        loop.exec();
    return answered;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: convert_helper FOLDER\n");
        return 2;
    }
    const MasterPassword master = MasterPassword::fromText(u"master one");
    VaultSession session(args[1]);
    session.setNewKeyParams({1, 1024});
    const bool opened = session.check(QStringLiteral("Vorsell")).ok()
        && answerOf([&](VaultSession::Answer answer) {
               session.askMasterPassword(master, &session, answer);
           }).ok();
    if (!opened) {
        std::printf("not opened\n");
        return 1;
    }
    std::printf("converting\n");
    std::fflush(stdout);
    for (;;) {
        const VaultOutcome outcome = session.isEncrypted()
            ? session.removeEncryption(master)
            : answerOf(
                [&](VaultSession::Answer answer) { session.encrypt(master, &session, answer); });
        if (!outcome.ok()) {
            std::printf("%s\n", qPrintable(outcome.error));
            return 1;
        }
    }
}
