#pragma once

class QByteArray;
class QString;
struct VaultEntry;

// Overwriting secrets in memory once they are no longer needed, in a way the
// compiler cannot leave out.

// Overwrites what a buffer held with zeroes and empties it. A buffer that
// another copy shares is that copy's to wipe, and is only let go.
void wipe(QByteArray &bytes);
void wipe(QString &text);
// Wipes an entry's texts that no one else shares, and empties it.
void wipe(VaultEntry &entry);

// Overwrites a text's characters where they stand, in every copy that shares
// them, then empties it: for a text that all who hold it are done with (a
// box about to be emptied, a list being wiped).
void wipeEverywhere(QString &text);
void wipeEverywhere(VaultEntry &entry);
// The same for a text that at most `holders` copies share (this one
// included); one shared more widely belongs to someone else too, and is only
// let go.
void wipeIfHeldByAtMost(QString &text, int holders);

// A copy with characters of its own, shared with nobody: what one holder
// wipes then never pulls the text from under another.
QString separateCopy(const QString &text);
void separateTexts(VaultEntry &entry);

// Overwrites with zeroes the stack just below the caller, where the functions
// it called kept their local variables. libsodium leaves copies of the keys it
// worked with there (the last hash block of Argon2 is the key itself), and a
// thread's stack outlives the thread in the C library's cache of stacks.
// Called right after such a call returns.
void wipeStack();
