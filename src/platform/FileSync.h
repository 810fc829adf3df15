#pragma once

#include <QByteArrayView>
#include <QFileDevice>
#include <QString>

#include <functional>

class QFile;

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

// Writes every byte to a file opened unbuffered, so that a write the system
// refuses fails here, not later; a short write is followed by another, which
// then gives the system's reason (a disk that fills up part-way takes some
// bytes first).
bool writeAll(QFileDevice &file, QByteArrayView data, QString *reason);

// Opens the file named by `file` for reading when it is a regular file.
// Anything else is refused before it is opened: a named pipe would hold the
// program up until something writes to it, a device may never end. On
// failure the reason, for the user, goes to *reason.
bool openRegularFile(QFile &file, QString *reason);

// Where a write to `path` really goes: the end of its chain of symbolic
// links, with links among its folders followed as well, so that every name
// that leads to one file gives the same path. *loop when the chain leads
// round in a circle.
QString followLinks(const QString &path, bool *loop);

// Replaces the file `target` whole. `write` fills a new file made beside it
// under a name no other file has (`prefix` and kReplacementSuffixLength
// letters or digits), with `permissions` before a byte goes in; only when
// every byte is on the disk does the new file take the target's place, in
// one step. On any failure the new file
// goes, the target is left as it was, and the reason goes to *reason.
constexpr int kReplacementSuffixLength = 8;
bool replaceWhole(const QString &target, const QString &prefix,
                  QFileDevice::Permissions permissions,
                  const std::function<bool(QFile &, QString *)> &write, QString *reason);

// Removes the new files that replaceWhole made beside `target` with this
// `prefix` and never put in its place (the program ended part-way through
// writing one); returns how many went.
int removeLeftoverReplacements(const QString &target, const QString &prefix);

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

// Takes away what others may do with a file or folder that the user owns
// (on POSIX, clears the group's and others' bits of its mode); what the
// owner may do stays. A symbolic link, or what another user owns, is left as
// it is. Where the system has no such permissions (Windows, whose folders in
// the user's profile are the user's alone already) it does nothing.
void keepToOwner(const QString &path);
