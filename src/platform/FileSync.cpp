#include "FileSync.h"

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

bool syncToDisk(QFileDevice &file, QString *reason)
{
    const int handle = file.handle();
    if (handle < 0) {
        *reason = QStringLiteral("The file is not open.");
        return false;
    }
#ifdef Q_OS_WIN
    const bool synced = ::_commit(handle) == 0;
#else
    int result;
    do
        result = ::fsync(handle);
    while (result != 0 && errno == EINTR);
    // A file system that cannot sync (a pipe, some special files) has
    // nothing more to put on a disk.
    const bool synced = result == 0 || errno == EINVAL;
#endif
    if (!synced)
        *reason = QString::fromLocal8Bit(std::strerror(errno));
    return synced;
}
