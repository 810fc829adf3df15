// A second process for the encryption tests: opens the vault in FOLDER,
// scrambled or encrypted, with the master password "master one" (taking its
// lock), prints
// "converting", then encrypts the vault and takes the encryption off again,
// in turn, until it is killed. The key is derived with little work and the
// salt 0x00..0x0F, so the test can derive it too.
//   convert_helper FOLDER

#include "vault/EncryptedFormat.h"
#include "vault/VaultSession.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: convert_helper FOLDER\n");
        return 2;
    }
    const QString master = QStringLiteral("master one");
    EncryptedFormat::Salt salt;
    for (std::size_t i = 0; i < salt.size(); ++i)
        salt[i] = uchar(i);
    VaultSession session(args[1]);
    bool opened = session.check(QStringLiteral("Vorsell")).ok;
    if (opened && session.isEncrypted()) {
        EncryptedFormat::VaultKey key;
        bool wrong = false;
        EncryptedFormat::deriveKey(master, session.header().params, session.header().salt, &key);
        opened = session.unlock(std::move(key), master, &wrong).ok;
    } else if (opened) {
        opened = session.load(master).ok;
    }
    if (!opened) {
        std::printf("not opened\n");
        return 1;
    }
    std::printf("converting\n");
    std::fflush(stdout);
    for (;;) {
        EncryptedFormat::VaultKey key;
        EncryptedFormat::deriveKey(master, {1, 1024}, salt, &key);
        const VaultOutcome outcome = session.isEncrypted() ? session.removeEncryption(master)
                                                           : session.encrypt(std::move(key));
        if (!outcome.ok) {
            std::printf("%s\n", qPrintable(outcome.error));
            return 1;
        }
    }
}
