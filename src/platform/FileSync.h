#pragma once

#include <QFileDevice>
#include <QString>

// Asks the system to put what was written to an open file on the disk, and
// reports whether it could: some file systems (network shares, full thin
// volumes) report a failed write only here. On failure the system's reason
// goes to *reason.
bool syncToDisk(QFileDevice &file, QString *reason);

// Puts the file `from` in the place of `to` in one step, replacing what stood
// there, and makes the new name itself durable: on POSIX the folder is synced
// after the rename, so that a power cut cannot bring back the old file. On
// failure the system's reason goes to *reason.
bool replaceFile(const QString &from, const QString &to, QString *reason);

// What came of removing a lock file whose owner is thought to be gone.
enum class LockRemoval {
    Removed,
    Held, // a running process holds it: its owner is not gone
    Changed, // the name stands for another file by now: look at it again
    Failed, // the reason is in *reason
};

// Removes the lock file at `path` unless a running process holds it or its
// content is no longer `judged`, the content its owner was judged by. Where
// the system keeps such holds (flock on POSIX, an open file on Windows) they
// decide; a file that the system cannot tell about is removed when
// `ownerGone` says so. A read-only file is removed like any other.
LockRemoval removeUnheldLock(const QString &path, const QByteArray &judged, bool ownerGone,
                             QString *reason);

// Whether a process with this id runs on this machine.
bool processRunning(qint64 pid);
