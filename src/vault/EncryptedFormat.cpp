#include "EncryptedFormat.h"

#include "Wipe.h"

#include <QtEndian>

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {

// The header, byte by byte (docs/encrypted-vault.md).
constexpr char kMark[] = {'\0', 'V', 'o', 'r', 's', 'e', 'l', 'l'};
constexpr qsizetype kMarkSize = sizeof kMark;
constexpr qsizetype kVersionAt = 8;
constexpr qsizetype kOpsAt = 10;
constexpr qsizetype kMemAt = 14;
constexpr qsizetype kContentSizeAt = 18;
constexpr qsizetype kSaltAt = 22;
constexpr qsizetype kNonceAt = 38;
constexpr qsizetype kChecksumAt = 62;
constexpr std::size_t kChecksumSize = 16;
static_assert(kChecksumAt + qsizetype(kChecksumSize) == EncryptedFormat::kHeaderSize);
static_assert(kSaltAt + qsizetype(EncryptedFormat::kSaltSize) == kNonceAt);
static_assert(kNonceAt + qsizetype(EncryptedFormat::kNonceSize) == kChecksumAt);
static_assert(EncryptedFormat::kSaltSize == crypto_pwhash_SALTBYTES);
static_assert(EncryptedFormat::kNonceSize == crypto_aead_xchacha20poly1305_ietf_NPUBBYTES);
static_assert(EncryptedFormat::kTagSize == crypto_aead_xchacha20poly1305_ietf_ABYTES);
static_assert(kChecksumSize >= crypto_generichash_BYTES_MIN);

constexpr std::size_t kKeySize = crypto_aead_xchacha20poly1305_ietf_KEYBYTES;

// The content of an encrypted vault reads as a scrambled vault's whose first
// line is empty.
constexpr QByteArrayView kEmptyFirstLine {"\r\n"};

const uchar *bytesOf(QByteArrayView data)
{
    return reinterpret_cast<const uchar *>(data.data());
}

void fillRandom(const EncryptedFormat::RandomFill &random, unsigned char *buffer, std::size_t size)
{
    if (random)
        random(buffer, size);
    else
        randombytes_buf(buffer, size);
}

void checksum(const uchar *header, uchar *out)
{
    crypto_generichash(out, kChecksumSize, header, std::size_t(kChecksumAt), nullptr, 0);
}

bool paramsWithin(const EncryptedFormat::KdfParams &p, const EncryptedFormat::Bounds &bounds)
{
    const quint64 memBytes = quint64(p.memKiB) * 1024;
    return p.ops >= crypto_pwhash_OPSLIMIT_MIN && memBytes >= crypto_pwhash_MEMLIMIT_MIN
        && p.memKiB <= bounds.maxMemKiB && quint64(p.ops) * p.memKiB <= bounds.maxWork;
}

} // namespace

namespace EncryptedFormat {

KdfParams defaultParams()
{
    return {2, 256 * 1024};
}

bool isEncrypted(QByteArrayView fileStart)
{
    return !fileStart.isEmpty() && fileStart.front() == '\0';
}

Problem readHeader(QByteArrayView file, Header *header, const Bounds &bounds)
{
    return readHeader(file, file.size(), header, bounds);
}

Problem readHeader(QByteArrayView fileStart, qint64 fileSize, Header *header, const Bounds &bounds)
{
    const QByteArrayView file = fileStart.first(std::min<qint64>(fileStart.size(), fileSize));
    const qsizetype markBytes = std::min(file.size(), kMarkSize);
    if (!isEncrypted(file) || std::memcmp(file.data(), kMark, size_t(markBytes)) != 0
        || file.size() < kVersionAt + 2)
        return Problem::Damaged;
    const uchar *p = bytesOf(file);
    const quint16 version = qFromLittleEndian<quint16>(p + kVersionAt);
    // Every later version keeps the mark and the version where they are.
    if (version > kVersion)
        return Problem::NewerVersion;
    if (version != kVersion || file.size() < kHeaderSize || fileSize < kHeaderSize + kTagSize)
        return Problem::Damaged;

    uchar sum[kChecksumSize];
    checksum(p, sum);
    if (sodium_memcmp(sum, p + kChecksumAt, kChecksumSize) != 0)
        return Problem::Damaged;

    Header h;
    h.version = version;
    h.params.ops = qFromLittleEndian<quint32>(p + kOpsAt);
    h.params.memKiB = qFromLittleEndian<quint32>(p + kMemAt);
    h.contentSize = qFromLittleEndian<quint32>(p + kContentSizeAt);
    std::memcpy(h.salt.data(), p + kSaltAt, kSaltSize);
    std::memcpy(h.nonce.data(), p + kNonceAt, kNonceSize);
    if (!paramsWithin(h.params, bounds))
        return Problem::Damaged;
    // Cut short or grown: the size must be exactly what the header says.
    if (quint64(fileSize) != quint64(kHeaderSize) + h.contentSize + quint64(kTagSize))
        return Problem::Damaged;
    if (header)
        *header = h;
    return Problem::None;
}

bool hasDamagedMark(QByteArrayView fileStart)
{
    if (fileStart.size() < kHeaderSize)
        return false;
    // The bytes of a scrambled vault's master password, as often as not:
    // the copy is wiped.
    uchar header[kHeaderSize];
    std::memcpy(header, fileStart.data(), kHeaderSize);
    std::memcpy(header, kMark, kMarkSize);
    uchar sum[kChecksumSize];
    checksum(header, sum);
    const bool matches = sodium_memcmp(sum, header + kChecksumAt, kChecksumSize) == 0;
    sodium_memzero(header, sizeof header);
    return matches;
}

Problem deriveKey(const SecureBytes &password, const KdfParams &params, const Salt &salt,
                  VaultKey *key)
{
    key->clear();
    SecureBytes derived(kKeySize);
    if (password.isNull() || derived.isNull())
        return Problem::OutOfMemory;
    // Argon2id fails only when it cannot have its memory.
    if (crypto_pwhash(derived.data(), kKeySize, reinterpret_cast<const char *>(password.data()),
                      password.size(), salt.data(), params.ops, std::size_t(params.memKiB) * 1024,
                      crypto_pwhash_ALG_ARGON2ID13)
        != 0)
        return Problem::OutOfMemory;
    key->m_key = std::move(derived);
    key->m_params = params;
    key->m_salt = salt;
    return Problem::None;
}

Problem deriveKey(QStringView password, const KdfParams &params, const Salt &salt, VaultKey *key)
{
    return deriveKey(SecureBytes::fromText(password), params, salt, key);
}

Salt newSalt(const RandomFill &random)
{
    Salt salt;
    if (sodiumReady())
        fillRandom(random, salt.data(), salt.size());
    return salt;
}

Problem open(QByteArray file, const VaultKey &key, std::vector<VaultEntry> *entries)
{
    entries->clear();
    Header header;
    // Bounds do not matter here: the key was derived already.
    const Problem problem = readHeader(
        file, &header, {std::numeric_limits<quint64>::max(), std::numeric_limits<quint64>::max()});
    if (problem != Problem::None)
        return problem;
    if (key.isNull())
        return Problem::WrongPassword;

    // Decrypted where it stands, so that no second buffer holds the content;
    // the tag is checked before a byte is changed.
    uchar *p = reinterpret_cast<uchar *>(file.data());
    uchar *content = p + kHeaderSize;
    const bool authentic
        = crypto_aead_xchacha20poly1305_ietf_decrypt_detached(
              content, nullptr, content, header.contentSize, content + header.contentSize, p,
              std::size_t(kHeaderSize), header.nonce.data(), key.bytes())
        == 0;
    wipeStack();
    if (!authentic)
        return Problem::WrongPassword;
    try {
        VaultFormat::EntryReader reader;
        reader.read(kEmptyFirstLine);
        reader.read(QByteArrayView(content, qsizetype(header.contentSize)));
        wipe(file);
        *entries = reader.finish();
    } catch (const std::bad_alloc &) {
        wipe(file);
        entries->clear();
        return Problem::OutOfMemory;
    }
    return Problem::None;
}

QByteArray seal(const VaultKey &key, std::span<const VaultEntry> entries, const RandomFill &random)
{
    if (key.isNull())
        return {};
    QByteArray content;
    QByteArrayView plain;
    QByteArray file;
    try {
        content = VaultFormat::savedContent(u"", entries);
        plain = QByteArrayView(content).sliced(kEmptyFirstLine.size());
        if (quint64(plain.size()) > std::numeric_limits<quint32>::max()) {
            wipe(content);
            return {};
        }
        file.resize(kHeaderSize + plain.size() + kTagSize);
    } catch (const std::bad_alloc &) {
        wipe(content);
        return {};
    }

    uchar *p = reinterpret_cast<uchar *>(file.data());
    std::memcpy(p, kMark, kMarkSize);
    qToLittleEndian<quint16>(kVersion, p + kVersionAt);
    qToLittleEndian<quint32>(key.params().ops, p + kOpsAt);
    qToLittleEndian<quint32>(key.params().memKiB, p + kMemAt);
    qToLittleEndian<quint32>(quint32(plain.size()), p + kContentSizeAt);
    std::memcpy(p + kSaltAt, key.salt().data(), kSaltSize);
    fillRandom(random, p + kNonceAt, kNonceSize);
    checksum(p, p + kChecksumAt);

    unsigned long long sealedSize = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(
        p + kHeaderSize, &sealedSize, bytesOf(plain), std::size_t(plain.size()), p,
        std::size_t(kHeaderSize), nullptr, p + kNonceAt, key.bytes());
    wipeStack();
    wipe(content);
    Q_ASSERT(qsizetype(sealedSize) == plain.size() + kTagSize);
    return file;
}

} // namespace EncryptedFormat
