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

    // Starts deriving the key for the password, which is copied into secure
    // memory at once; done gets the key, or why there is none (too little
    // memory: how much it needs and how much is left, when that was the
    // reason). A derivation that would take more memory than the process may
    // have is not tried (past that point the system ends the program without
    // a word). False, and nothing started, while another derivation runs.
    bool start(QStringView password, const EncryptedFormat::KdfParams &params,
               const EncryptedFormat::Salt &salt, std::function<void(Result)> done);

    // The key on its way is dropped: done hears that the derivation was
    // cancelled. Argon2 cannot stop halfway, so its thread runs to the end.
    void cancel() { m_task.cancel(); }

private:
    BackgroundTask m_task;
};
