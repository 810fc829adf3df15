#include "HelpFile.h"

#include "vault/FileExists.h"

#include <QDir>

namespace HelpFile {

QString path(const QString &programFolder, const QString &vaultFolder)
{
    const QString name = QStringLiteral("Help.rtf");
    const QString beside = QDir(programFolder).filePath(name);
    const QString candidates[] = {
        beside,
        QDir(vaultFolder).filePath(name),
        QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral("../share/vorsell/") + name)),
    };
    for (const QString &candidate : candidates) {
        if (fileExists(candidate))
            return candidate;
    }
    return beside;
}

} // namespace HelpFile
