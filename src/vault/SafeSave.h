#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>

class QFileDevice;
class QSaveFile;

// Replaces a file whole: the new content is written to a file beside it, put
// on the disk, and only then renamed over it, so a crash, a full disk or a
// refused write leaves the previous content in place.
namespace SafeSave {

enum class Permissions {
    // A new file is readable by its owner only; a replaced one keeps its
    // permissions.
    OwnerOnlyWhenNew,
    // The file is readable by its owner only, whatever it was before.
    OwnerOnly,
};

// Writes the new content; false with the reason when it could not.
using Writer = std::function<bool(QSaveFile &file, QString *reason)>;

// False with the system's reason when the file could not be replaced.
bool replace(const QString &path, const Writer &write, Permissions permissions, QString *reason);

// Writes every byte to an unbuffered device or reports why it could not.
bool writeAll(QFileDevice &file, QByteArrayView data, QString *reason);

} // namespace SafeSave
