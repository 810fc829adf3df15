#include "ExportFile.h"

#include "platform/FileSync.h"

#include <QSaveFile>

bool writeExportFile(const QString &path, QByteArrayView content, QString *reason)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *reason = file.errorString();
        return false;
    }
    // Owner-only before a byte is written; QSaveFile would otherwise give
    // the file the permissions of the one it replaces.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        *reason = file.errorString();
        file.cancelWriting();
        return false;
    }
    // The device is unbuffered: a write the system refuses fails here, and a
    // short one is followed by another that gives the reason.
    while (!content.isEmpty()) {
        const qint64 written = file.write(content.data(), content.size());
        if (written <= 0) {
            *reason = file.errorString();
            file.cancelWriting();
            return false;
        }
        content = content.sliced(written);
    }
    if (!syncToDisk(file, reason)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    return true;
}
