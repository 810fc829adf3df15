#pragma once

#include <QString>

// Where the help window finds Help.rtf.
namespace HelpFile {

// The first folder that holds the help file, in this order: the program's
// folder (an unpacked zip, a build folder), the vault's folder, and the
// shared data folder of an installed copy ("share/vorsell" beside the folder
// that holds the program, as in /usr/bin and /usr/share/vorsell). With none,
// the path beside the program, so that the help window names the place where
// the file belongs.
QString path(const QString &programFolder, const QString &vaultFolder);

} // namespace HelpFile
