#include "FileExists.h"

#include <QDir>
#include <QFileInfo>

QString fileNamePart(const QString &path)
{
    const qsizetype separator
        = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(separator + 1);
}

bool fileExists(const QString &path)
{
    const QString name = fileNamePart(path);
    if (name.isEmpty())
        return false;
    const QFileInfo info(path);
    // List the folder rather than asking for the path itself, so that a name
    // that differs only in letter case is found on case-sensitive systems too.
    const QDir folder = info.absoluteDir();
    if (!folder.exists())
        return false;
    const QStringList files = folder.entryList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QString &onDisk : files) {
        if (onDisk.toUpper() == name.toUpper())
            return true;
    }
    return false;
}
