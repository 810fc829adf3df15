#pragma once

#include "FakePlatform.h"
#include "app/Program.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <memory>

class Form1;

// A fresh program per test case: fake platform, a temporary program folder,
// and shortcuts through start-up.
class TestProgram
{
public:
    TestProgram();

    FakePlatform fakes;
    QTemporaryDir folder;
    std::unique_ptr<Program> program;

    // The user's data folder the program is given: where the vault goes
    // when the program folder cannot take it. Not made beforehand.
    QString userDataFolder() const;
    QString vaultPath() const;
    void writeVault(const QByteArray &bytes) const;
    QByteArray readVault() const;
    // A vault with this master password and these entries, as the program
    // saves one.
    void writeVault(const QString &masterPassword, const std::vector<VaultEntry> &entries) const;
    void setShowHelp(const QString &value);

    // Loads the splash and runs its timer to the end: the main window is
    // loaded and the password dialog is open.
    void runSplash();
    // Answers the password dialog: creates the master password on a first
    // run, enters it otherwise.
    void acceptPassword(const QString &password = QStringLiteral("pw12"));
    // The whole start-up: splash, then the password dialog answered.
    void openVault(const QString &password = QStringLiteral("pw12"));
    Form1 *mainWindow() const;
    QString status() const;
};

// The encoded form of a plain text, as the vault stores it.
QByteArray vaultLine(const QString &plain);

// A window's control by its name, and for a control array by its index;
// null when there is none.
template<typename T> T *control(const QObject *window, const QString &name, int index = -1)
{
    if (!window)
        return nullptr;
    const QList<T *> found = window->findChildren<T *>(name);
    for (T *candidate : found) {
        if (index < 0 || candidate->property("index").toInt() == index)
            return candidate;
    }
    return nullptr;
}
