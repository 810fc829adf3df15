#include "VaultLocation.h"

#include "BuildInfo.h"
#include "FileExists.h"
#include "VaultFile.h"
#include "platform/FileSync.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace VaultLocation {

namespace {

// The folder the program was installed into.
bool isInstalledFolder(const QString &folder)
{
    const QDir dir(folder);
    if (QFileInfo(dir.filePath(QStringLiteral("Uninstall.exe"))).isFile())
        return true;
    const QString installed = QStringLiteral(VORSELL_INSTALL_BINDIR);
    return !installed.isEmpty()
        && QDir::cleanPath(dir.absolutePath()) == QDir::cleanPath(installed);
}

} // namespace

bool canKeepVault(const QString &folder)
{
    if (folder.isEmpty() || isInstalledFolder(folder))
        return false;
    // Permission bits and access lists are not the whole story (read-only
    // media, policies): making a file is the test that counts.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".vorsell-XXXXXX")));
    return probe.open();
}

QString folder(const QString &programFolder, const QString &userDataFolder,
               const WritableTest &canWrite)
{
    if (fileExists(VaultFile::pathIn(programFolder)) || canWrite(programFolder))
        return programFolder;
    return userDataFolder;
}

bool makeFolder(const QString &programFolder, const QString &folder, QString *error)
{
    const QFileInfo info(folder);
    if (info.isDir()) {
        if (folder != programFolder)
            keepToOwner(folder);
        return true;
    }
    const QString parentPath = info.absolutePath();
    const QDir parent(parentPath);
    const bool made = (parent.exists() || QDir().mkpath(parentPath))
        && parent.mkdir(info.fileName(),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!made && !QFileInfo(folder).isDir()) {
        *error = QStringLiteral("The folder for the vault file could not be made:\n%1")
                     .arg(QDir::toNativeSeparators(info.absoluteFilePath()));
        return false;
    }
    return true;
}

} // namespace VaultLocation
