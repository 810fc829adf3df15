#include "FileExists.h"

#include <QDir>
#include <QFileInfo>

QString fileNamePart(const QString &path)
{
    const qsizetype separator
        = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(separator + 1);
}

QString foundFilePath(const QString &path)
{
    const QString name = fileNamePart(path);
    if (name.isEmpty())
        return QString();
    const QFileInfo info(path);
    // List the folder rather than asking for the path itself, so that a name
    // that differs only in letter case is found on case-sensitive systems too.
    const QDir folder = info.absoluteDir();
    if (!folder.exists())
        return QString();
    const QStringList files = folder.entryList(QDir::Files | QDir::NoDotAndDotDot);
    if (files.contains(name))
        return folder.filePath(name);
    const QString upper = name.toUpper();
    for (const QString &onDisk : files) {
        if (onDisk.toUpper() == upper)
            return folder.filePath(onDisk);
    }
    return QString();
}

bool fileExists(const QString &path)
{
    return !foundFilePath(path).isEmpty();
}
