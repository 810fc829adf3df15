#pragma once

#include "platform/KeptFiles.h"

#include <QString>

class VaultSession;
struct Platform;

// Every file a run of the program keeps, which nothing that the user names
// for it to write (an export) may replace: the program itself and what
// ships beside it, its help file, its settings, and the vault's files. A
// file that a later feature keeps joins here, or with the owner that makes
// it.
KeptFiles programFiles(const VaultSession &session, const QString &programFolder,
                       const QString &vaultFolder, const Platform &platform);
