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
    ~TestProgram();

    FakePlatform fakes;
    QTemporaryDir folder;
    std::unique_ptr<Program> program;

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
    Form1 *mainWindow() const;
    QString status() const;
};

// The encoded form of a plain text, as the vault stores it.
QByteArray vaultLine(const QString &plain);
