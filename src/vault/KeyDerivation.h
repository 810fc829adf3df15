#pragma once

#include "EncryptedFormat.h"
#include "platform/BackgroundTask.h"

#include <QString>

#include <functional>

// Runs the slow key derivation through the background helper, so that the
// window that asked for it stays responsive, and hands the key back on the
// thread that started it. One derivation at a time.
class KeyDerivation
{
public:
    using Result = TaskResult<EncryptedFormat::VaultKey>;

    KeyDerivation();

    bool isRunning() const { return m_task.isRunning(); }

    // What the user is told when a derivation found too little memory.
    static QString outOfMemoryMessage();

    // Starts deriving the key for the password, which is copied into secure
    // memory at once; done gets the key, or why there is none. False, and
    // nothing started, while another derivation runs.
    bool start(QStringView password, const EncryptedFormat::KdfParams &params,
               const EncryptedFormat::Salt &salt, std::function<void(Result)> done);

    // The key on its way is dropped: done hears that the derivation was
    // cancelled. Argon2 cannot stop halfway, so its thread runs to the end.
    void cancel() { m_task.cancel(); }

private:
    BackgroundTask m_task;
};
