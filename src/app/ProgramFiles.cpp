#include "ProgramFiles.h"

#include "info/HelpFile.h"
#include "platform/Platform.h"
#include "platform/SettingsStore.h"
#include "platform/VersionInfo.h"
#include "vault/VaultSession.h"

#include <QCoreApplication>
#include <QDir>

KeptFiles programFiles(const VaultSession &session, const QString &programFolder,
                       const QString &vaultFolder, const Platform &platform)
{
    KeptFiles kept;
    session.addKeptFiles(&kept);
    kept.addFile(QCoreApplication::applicationFilePath(), QStringLiteral("the program itself"));
    // The libraries and programs that ship beside it on Windows.
    kept.addFiles(programFolder, QRegularExpression(QStringLiteral("\\.(dll|exe)$")),
                  QStringLiteral("a part of the program"));
    // The help window reads the first Help.rtf it finds in these places.
    const QString help = QStringLiteral("the program's help file");
    kept.addFile(QDir(programFolder).filePath(QStringLiteral("Help.rtf")), help);
    kept.addFile(QDir(vaultFolder).filePath(QStringLiteral("Help.rtf")), help);
    kept.addFile(HelpFile::path(programFolder, vaultFolder), help);
    // The settings of the application named like the product.
    const QString settingsFile = platform.settings->file(platform.version->read().productName);
    if (!settingsFile.isEmpty())
        kept.addFile(settingsFile, QStringLiteral("the file that holds the program's settings"));
    return kept;
}
