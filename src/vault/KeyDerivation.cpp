#include "KeyDerivation.h"

#include <memory>

KeyDerivation::KeyDerivation()
    // Argon2 leaves the key in its local variables, and the stack of a thread
    // that has ended stays mapped for the next thread to use.
    : m_task(&wipeStack)
{
}

QString KeyDerivation::outOfMemoryMessage()
{
    return QStringLiteral(
        "There is not enough memory to derive the vault's key from the master password. "
        "Close other programs and try again. Nothing has been changed.");
}

bool KeyDerivation::start(QStringView password, const EncryptedFormat::KdfParams &params,
                          const EncryptedFormat::Salt &salt, std::function<void(Result)> done)
{
    if (m_task.isRunning())
        return false;
    // Shared with the work, which wipes it once the key is derived.
    auto secret = std::make_shared<SecureBytes>(SecureBytes::fromText(password));
    return m_task.start<EncryptedFormat::VaultKey>(
        [secret, params, salt](BackgroundTask::Control &) {
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
