// libFuzzer target for the encrypted vault reader: the header checks, the
// key derivation from the file's parameters, decryption and the entry lines
// inside. Each input is tried three ways:
//   - as a file, as it stands (most inputs fail at the format mark or the
//     checksum, as a damaged file does);
//   - as a file whose checksum and content size were set right, so the
//     bounds, the derivation and decryption are reached;
//   - as the content of a vault, sealed under a known key: it must open, give
//     the entries the scrambled reader finds in the same lines, and those
//     entries must seal and open again unchanged.
// Every outcome must be one of the named ones and leave no entries behind
// unless it opened. The derivation is bounded to tiny work, so the run stays
// fast; the bounds themselves are what the tests check at full size.
// A broken rule stops the run with a trap, which libFuzzer reports as a crash.

#include "vault/EncryptedFormat.h"

#include <QtEndian>

#include <sodium.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace EncryptedFormat;

namespace {

void check(bool rule)
{
    if (!rule)
        __builtin_trap();
}

constexpr Bounds kTiny {64, 128};
constexpr KdfParams kKnownParams {1, 8};
const QString kPassword = QStringLiteral("fuzz");

const VaultKey &knownKey()
{
    static const VaultKey key = [] {
        VaultKey k;
        Salt salt {};
        check(deriveKey(kPassword, kKnownParams, salt, &k) == Problem::None);
        return k;
    }();
    return key;
}

void tryFile(QByteArrayView file)
{
    Header header;
    const Problem problem = readHeader(file, &header, kTiny);
    if (problem != Problem::None) {
        check(problem == Problem::Damaged || problem == Problem::NewerVersion);
        return;
    }
    VaultKey key;
    check(deriveKey(kPassword, header.params, header.salt, &key) == Problem::None);
    std::vector<VaultEntry> entries;
    const Problem opened = open(file.toByteArray(), key, &entries);
    check(opened == Problem::None || opened == Problem::WrongPassword);
    check(opened == Problem::None || entries.empty());
}

// The input with a checksum and content size that agree with it.
QByteArray mended(QByteArrayView input)
{
    QByteArray file = input.toByteArray();
    if (file.size() < kHeaderSize + kTagSize)
        return file;
    auto *p = reinterpret_cast<uchar *>(file.data());
    std::memcpy(p, "\0Vorsell\x01\x00", 10);
    qToLittleEndian<quint32>(quint32(file.size() - kHeaderSize - kTagSize), p + 18);
    crypto_generichash(p + 62, 16, p, 62, nullptr, 0);
    return file;
}

// The input sealed as the content of a vault under the known key.
QByteArray sealedContent(QByteArrayView content)
{
    QByteArray file = seal(knownKey(), {});
    file.resize(kHeaderSize + content.size() + kTagSize);
    auto *p = reinterpret_cast<uchar *>(file.data());
    qToLittleEndian<quint32>(quint32(content.size()), p + 18);
    crypto_generichash(p + 62, 16, p, 62, nullptr, 0);
    unsigned long long size = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(
        p + kHeaderSize, &size, reinterpret_cast<const uchar *>(content.data()),
        std::size_t(content.size()), p, std::size_t(kHeaderSize), nullptr, p + 38,
        knownKey().bytes());
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    tryFile(input);
    tryFile(mended(input));

    std::vector<VaultEntry> entries;
    check(open(sealedContent(input), knownKey(), &entries) == Problem::None);
    VaultFormat::EntryReader reader;
    reader.read("\r\n");
    reader.read(input);
    check(entries == reader.finish());

    std::vector<VaultEntry> again;
    check(open(seal(knownKey(), entries), knownKey(), &again) == Problem::None);
    check(again == entries);
    return 0;
}
