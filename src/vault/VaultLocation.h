#pragma once

#include <QString>

#include <functional>

// Where the vault of this copy of the program lives. A copy that can keep
// its vault beside itself does so (an unpacked zip, a build folder, a USB
// stick); an installed copy, whose folder is not the user's to write, keeps
// it in the user's data folder. The claim file and the clean-up of an
// interrupted save follow the vault.
namespace VaultLocation {

// Whether the vault may be written in a folder.
using WritableTest = std::function<bool(const QString &folder)>;

// The real test: a file can be made in the folder, and the folder is not one
// that the program was installed into (by the Windows installer, which
// leaves its uninstaller there, or by the package, into the folder the build
// was configured to install programs to). An installed copy that happens to
// be writable (run as an administrator, or under Wine) still keeps the vault
// with the user.
bool canKeepVault(const QString &folder);

// The folder that holds the vault: the program folder when it already holds
// a vault file or the vault may be written there; the user's data folder
// otherwise.
QString folder(const QString &programFolder, const QString &userDataFolder,
               const WritableTest &canWrite = canKeepVault);

// Makes the vault's folder ready, as folder() chose it for the program
// folder. A folder with the user (any but the program folder) is made when
// missing, its parents as usual, and kept to its owner alone where the
// platform has such permissions: one found open to others is closed to them
// (a symbolic link, or a folder of another user, is left as it is). The
// program folder is left as it is: others may have set it up to share. On
// failure *error says why, in words for the user.
bool makeFolder(const QString &programFolder, const QString &folder, QString *error);

} // namespace VaultLocation
