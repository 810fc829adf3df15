#include "TestProgram.h"

#include "app/Form1.h"
#include "app/frmSplash.h"
#include "password/frmPass.h"
#include "vault/VaultFile.h"

#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

TestProgram::TestProgram()
{
    program = std::make_unique<Program>(folder.path(), userDataFolder(), fakes.platform());
}

QString TestProgram::userDataFolder() const
{
    return folder.filePath(QStringLiteral("user-data"));
}

QString TestProgram::vaultPath() const
{
    return VaultFile::pathIn(folder.path());
}

void TestProgram::writeVault(const QByteArray &bytes) const
{
    QFile file(vaultPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void TestProgram::writeVault(const QString &masterPassword,
                             const std::vector<VaultEntry> &entries) const
{
    writeVault(VaultFormat::savedContent(masterPassword, entries));
}

QByteArray TestProgram::readVault() const
{
    QFile file(vaultPath());
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void TestProgram::setShowHelp(const QString &value)
{
    fakes.settings.values.insert(FakeSettings::path(fakes.version.values.productName,
                                                    QStringLiteral("Settings"),
                                                    QStringLiteral("showHelp")),
                                 value);
}

void TestProgram::runSplash()
{
    program->start();
    frmSplash *splash = program->splash.window();
    QVERIFY(splash);
    control<QTimer>(splash, QStringLiteral("Timer2"))->stop();
    for (int tick = 0; tick < 75 && !program->form1.isLoaded(); ++tick)
        splash->Timer2_Timer();
    QVERIFY(program->form1.isLoaded() || program->hasEnded());
}

void TestProgram::acceptPassword(const QString &password)
{
    frmPass *dialog = program->pass.window();
    QVERIFY(dialog);
    control<QLineEdit>(dialog, QStringLiteral("txtPass"))->setText(password);
    control<QLineEdit>(dialog, QStringLiteral("txtPass2"))->setText(password);
    dialog->cmdOK_Click();
}

void TestProgram::openVault(const QString &password)
{
    runSplash();
    acceptPassword(password);
}

Form1 *TestProgram::mainWindow() const
{
    return program->form1.window();
}

QString TestProgram::status() const
{
    Form1 *main = mainWindow();
    return main ? main->statusText() : QString();
}

QByteArray vaultLine(const QString &plain)
{
    return VaultFormat::encodeLine(plain);
}
