#include "KeyDerivation.h"

#include "Wipe.h"
#include "platform/MemoryLimit.h"

#include <memory>

namespace {

// What the derivation's thread takes beside Argon2id's memory.
constexpr qint64 kSpareMemory = 16 << 20;
constexpr qint64 kMebibyte = 1 << 20;

// What the user is told when a derivation found too little memory, with how
// much it needs and how much is left when that is known.
QString outOfMemoryMessage(qint64 needed = -1, qint64 left = -1)
{
    QString text = QStringLiteral(
        "There is not enough memory to derive the vault's key from the master password.");
    if (needed >= 0) {
        // Rounded so that the figures never make the need look met.
        text += QStringLiteral(" It needs %1 MiB, and %2 MiB are left for the program.")
                    .arg((needed + kMebibyte - 1) / kMebibyte)
                    .arg(left / kMebibyte);
    }
    return text + QStringLiteral(" Close other programs and try again. Nothing has been changed.");
}

} // namespace

KeyDerivation::KeyDerivation()
    // Argon2 leaves the key in its local variables, and the stack of a thread
    // that has ended stays mapped for the next thread to use.
    : m_task(&wipeStack)
{
}

bool KeyDerivation::start(QStringView password, const EncryptedFormat::KdfParams &params,
                          const EncryptedFormat::Salt &salt, std::function<void(Result)> done)
{
    if (m_task.isRunning())
        return false;
    // Argon2id touches every byte of its memory, so it is not tried when
    // the process may not have that much: checked against the same limits
    // that loading a vault keeps within.
    const qint64 needed = qint64(params.memKiB) * 1024 + kSpareMemory;
    const qint64 left = memoryLeftForProcess();
    const bool fits = left < 0 || needed <= left;
    // Shared with the work, which wipes it once the key is derived.
    auto secret = std::make_shared<SecureBytes>(SecureBytes::fromText(password));
    return m_task.start<EncryptedFormat::VaultKey>(
        [secret, params, salt, fits, needed, left](BackgroundTask::Control &) {
            if (!fits) {
                secret->clear();
                return Result::failed(outOfMemoryMessage(needed, left));
            }
            // A password that found no secure memory is an OutOfMemory there.
            Result result;
            const EncryptedFormat::Problem problem
                = EncryptedFormat::deriveKey(*secret, params, salt, &result.value);
            secret->clear();
            if (problem != EncryptedFormat::Problem::None)
                return Result::failed(outOfMemoryMessage());
            return result;
        },
        std::move(done));
}
