#include "Program.h"

#include "Form1.h"
#include "entries/frmAdd.h"
#include "frmSplash.h"
#include "info/Form8.h"
#include "info/frmAbout.h"
#include "info/frmWebsite.h"
#include "password/frmPass.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramEnder.h"
#include "platform/SettingsStore.h"
#include "platform/VersionInfo.h"
#include "skin/Skinning.h"
#include "vault/StatusText.h"
#include "vault/VaultFile.h"

#include <QCoreApplication>
#include <QDir>

Program::Program(QString programFolder, const Platform &platform, QObject *parent)
    : QObject(parent)
    , m_programFolder(std::move(programFolder))
    , m_platform(platform)
{
}

Program::~Program()
{
    // Windows are deleted without their unload handling: the program is
    // being torn down, not closed by the user.
    website.destroy();
    about.destroy();
    help.destroy();
    add.destroy();
    pass.destroy();
    form1.destroy();
    splash.destroy();
}

QString Program::vaultPath() const
{
    return VaultFile::pathIn(m_programFolder);
}

QString Program::helpPath() const
{
    return QDir(m_programFolder).filePath(QStringLiteral("Help.rtf"));
}

void Program::start()
{
    open(splash);
}

void Program::LoadBranding()
{
    const VersionValues version = m_platform.version->read();
    strProductName = version.productName;
    strCompanyName = version.companyName;
    strComments = version.comments;
    skin.bUseSkin = true;
}

QString Program::settingsApplication() const
{
    return m_platform.version->read().productName;
}

void Program::checkVault()
{
    VaultFile vault(vaultPath());
    QString error;
    QString firstLine;
    if (!vault.ensureExists(&error) || !vault.readMasterPassword(&firstLine, &error)) {
        failStartup(error);
        return;
    }
    if (firstLine.isEmpty()) {
        bNewPassword = true;
    } else {
        storedPassword = firstLine;
        bNewPassword = false;
    }
    open(pass);
}

void Program::createVault()
{
    pass.unload();
    QCoreApplication::processEvents();
    if (m_ended)
        return;

    VaultFile vault(vaultPath());
    QString error;
    if (!vault.ensureExists(&error) || !vault.writeMasterPassword(masterPassword, &error)) {
        failStartup(error);
        return;
    }
    setStatus(StatusText::passwordCreated());
    if (Form1 *main = form1.window())
        main->afterFormLoad();
}

void Program::loadVault()
{
    VaultFile vault(vaultPath());
    QString error;
    std::vector<VaultEntry> loaded;
    if (!vault.ensureExists(&error) || !vault.readEntries(&loaded, &error)) {
        failStartup(error);
        return;
    }
    const qsizetype count = qsizetype(loaded.size());
    m_entries.appendAll(std::move(loaded));
    setStatus(StatusText::loaded(count));
    if (Form1 *main = form1.window())
        main->afterFormLoad();
}

bool Program::saveVault()
{
    VaultFile vault(vaultPath());
    QString error;
    if (!vault.ensureExists(&error) || !vault.save(masterPassword, m_entries.entries(), &error)) {
        setStatus(QStringLiteral("The entries could not be saved."));
        showMessage(error, MessageBox::Critical);
        return false;
    }
    setStatus(StatusText::saved(m_platform.clock->now()));
    return true;
}

void Program::setStatus(const QString &text)
{
    if (Form1 *main = form1.window())
        main->setStatusText(text);
}

void Program::failStartup(const QString &error)
{
    showMessage(error + QStringLiteral("\n\nThe program will now close."), MessageBox::Critical);
    endProgram();
}

void Program::endProgram()
{
    if (m_ended)
        return;
    m_ended = true;
    m_platform.ender->endProgram();
}

int Program::showMessage(const QString &text, int style, const QString &title)
{
    return m_platform.messages->show(text, style, title);
}
