#include "ExportFile.h"

#include "platform/FileSync.h"

#include <QFile>
#include <QFileInfo>

bool writeExportFile(const QString &path, QByteArrayView content, QString *reason)
{
    // A name that is a symbolic link has the file it leads to replaced.
    bool loop = false;
    const QString target = followLinks(path, &loop);
    const QFileInfo existing(target);
    if (loop) {
        *reason = QStringLiteral("Its name is a symbolic link that leads round in a circle.");
        return false;
    }
    // An earlier export to this name that ended part-way (the program was
    // killed, the power went) left its new file behind, passwords and all.
    const QString prefix = existing.fileName() + QStringLiteral(".~vorsell-export-");
    removeLeftoverReplacements(target, prefix);
    // A file its owner made read-only is left alone.
    if (existing.exists() && !existing.isWritable()) {
        *reason = QStringLiteral("Existing file %1 is not writable").arg(target);
        return false;
    }
    return replaceWhole(
        target, prefix, QFileDevice::ReadOwner | QFileDevice::WriteOwner,
        [content](QFile &file, QString *why) { return writeAll(file, content, why); }, reason);
}
