#include "SafeSave.h"

#include "platform/FileSync.h"

#include <QFileInfo>
#include <QSaveFile>

namespace SafeSave {

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// Where a save really writes: the end of a chain of symbolic links, as
// QSaveFile follows it.
QFileInfo savedFile(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info;
}

} // namespace

bool writeAll(QFileDevice &file, QByteArrayView data, QString *reason)
{
    // The device is unbuffered, so a write that the system refuses fails
    // here, not later; a short write is followed by another, which then
    // gives the system's reason (a disk that fills up part-way takes some
    // bytes first).
    while (!data.isEmpty()) {
        const qint64 written = file.write(data.data(), data.size());
        if (written <= 0) {
            *reason = file.errorString();
            return false;
        }
        data = data.sliced(written);
    }
    return true;
}

bool replace(const QString &path, const Writer &write, Permissions permissions, QString *reason)
{
    // A file that is not there yet (a dangling link to one included) is made
    // readable by its owner only before a byte is written; QSaveFile gives
    // a replaced file the permissions it had.
    const bool ownerOnly = permissions == Permissions::OwnerOnly || !savedFile(path).exists();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *reason = file.errorString();
        return false;
    }
    if (ownerOnly && !file.setPermissions(kOwnerOnly)) {
        *reason = file.errorString();
        file.cancelWriting();
        return false;
    }
    // Nothing replaces the file until every byte is written and on the disk.
    if (!write(file, reason) || !syncToDisk(file, reason)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace SafeSave
