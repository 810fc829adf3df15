#pragma once

#include "SecureBytes.h"
#include "VaultFormat.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// The encrypted vault file, the opt-in second format beside the scrambled
// one. A fixed 78-byte header (the format mark, version, the Argon2id
// parameters, the content's size, the salt, the nonce and a keyless checksum
// of all that) followed by the content sealed with XChaCha20-Poly1305 under
// a key that Argon2id derives from the master password; the whole header is
// the cipher's associated data. The content is the entry lines exactly as a
// scrambled vault holds them after its first line, so one reader serves both
// formats; the master password is not in it. docs/encrypted-vault.md gives
// the layout byte by byte.
namespace EncryptedFormat {

inline constexpr quint16 kVersion = 1;
inline constexpr qsizetype kHeaderSize = 78;
inline constexpr qsizetype kTagSize = 16;
inline constexpr std::size_t kSaltSize = 16;
inline constexpr std::size_t kNonceSize = 24;

using Salt = std::array<unsigned char, kSaltSize>;
using Nonce = std::array<unsigned char, kNonceSize>;

// Fills a buffer with random bytes; libsodium's generator unless a test
// needs the same bytes every time.
using RandomFill = std::function<void(unsigned char *, std::size_t)>;

// The work of one Argon2id derivation: passes over the memory, and memory
// in KiB.
struct KdfParams
{
    quint32 ops = 0;
    quint32 memKiB = 0;
    friend bool operator==(const KdfParams &, const KdfParams &) = default;
};

// The parameters a vault is encrypted with: 256 MiB and 2 passes, about a
// third of a second of one core of our machines (bench/README.md).
KdfParams defaultParams();

// What a file's parameters must keep within to be opened: at most 1 GiB of
// memory and at most four passes over 1 GiB in all, so a hostile file can
// neither exhaust memory nor hold the program for long. Tests and the fuzz
// target set tighter bounds.
struct Bounds
{
    quint64 maxMemKiB = 1024 * 1024;
    quint64 maxWork = 4 * 1024 * 1024; // ops × memKiB
};

enum class Problem {
    None,
    Damaged, // not a whole, unchanged encrypted vault
    NewerVersion, // a format version this program does not know
    WrongPassword, // the key does not open the content
    OutOfMemory, // the derivation or the content did not fit in memory
};

// Whether the file's first bytes are those of the encrypted format. A
// scrambled vault never holds a 0x00 byte; this format begins with one.
bool isEncrypted(QByteArrayView fileStart);

struct Header
{
    quint16 version = kVersion;
    KdfParams params;
    quint32 contentSize = 0;
    Salt salt {};
    Nonce nonce {};
};

// Checks everything that needs no key, quickly: the format mark, the version,
// the length against the content size the header gives, the header's
// checksum and the parameters' bounds. What passes can be handed to
// deriveKey and open.
Problem readHeader(QByteArrayView file, Header *header, const Bounds &bounds = {});
// The same from the file's first bytes (kHeaderSize of them are enough) and
// its size, so that a damaged file is refused before the rest is read.
Problem readHeader(QByteArrayView fileStart, qint64 fileSize, Header *header,
                   const Bounds &bounds = {});

// Whether the file's first bytes are an encrypted vault's header whose
// format mark was changed (a damaged first byte reads as a scrambled vault):
// with the mark put back, the header's checksum matches.
bool hasDamagedMark(QByteArrayView fileStart);

// A key derived from a master password, in secure memory, with the
// parameters and salt it was derived with: kept for the session, so saving
// never derives again.
class VaultKey
{
public:
    VaultKey() = default;
    bool isNull() const { return m_key.isNull(); }
    const KdfParams &params() const { return m_params; }
    const Salt &salt() const { return m_salt; }
    const unsigned char *bytes() const { return m_key.data(); }
    void clear() { m_key.clear(); }

private:
    friend Problem deriveKey(const SecureBytes &, const KdfParams &, const Salt &, VaultKey *);
    SecureBytes m_key;
    KdfParams m_params;
    Salt m_salt {};
};

// The slow step (Argon2id), over the password in UTF-8. Safe to run on any
// thread. Fails only when the memory it needs cannot be had.
Problem deriveKey(const SecureBytes &password, const KdfParams &params, const Salt &salt,
                  VaultKey *key);
Problem deriveKey(QStringView password, const KdfParams &params, const Salt &salt, VaultKey *key);

// A fresh random salt.
Salt newSalt(const RandomFill &random = {});

// The content of the file: its entries, in file order. The file's bytes are
// decrypted where they stand and wiped afterwards.
Problem open(QByteArray file, const VaultKey &key, std::vector<VaultEntry> *entries);

// The whole file for the entries, sealed under the key with a fresh nonce.
// Empty when memory ran out.
QByteArray seal(const VaultKey &key, std::span<const VaultEntry> entries,
                const RandomFill &random = {});

} // namespace EncryptedFormat
