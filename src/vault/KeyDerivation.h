#pragma once

#include "EncryptedFormat.h"

#include <QObject>
#include <QString>

#include <memory>
#include <thread>

// Runs the slow key derivation on a thread of its own, so that the window
// that asked for it stays responsive, and reports back on the thread that
// started it. One derivation at a time: a second start while one runs is
// refused.
class KeyDerivation : public QObject
{
    Q_OBJECT

public:
    explicit KeyDerivation(QObject *parent = nullptr);
    // Waits for a derivation still running (at most about a second).
    ~KeyDerivation() override;

    bool isRunning() const { return m_running; }

    // What the user is told when the last derivation found too little
    // memory: how much it needs and how much is left, when that was the
    // reason.
    QString outOfMemoryMessage() const;

    // Starts deriving the key for the password; the password is copied into
    // secure memory at once. False, and nothing started, while another
    // derivation runs. A derivation that would take more memory than the
    // process may have is not tried (past that point the system ends the
    // program without a word): it finishes with OutOfMemory.
    bool start(QStringView password, const EncryptedFormat::KdfParams &params,
               const EncryptedFormat::Salt &salt);

    // The key of the last derivation that finished without a problem; the
    // object holds it no more afterwards.
    EncryptedFormat::VaultKey takeKey();

signals:
    // The derivation is over; problem is None when takeKey() has the key.
    void finished(EncryptedFormat::Problem problem);

private:
    void done();

    struct Work;
    std::unique_ptr<Work> m_work;
    std::thread m_thread;
    bool m_running = false;
    // The memory the last derivation needed and what was left, in bytes,
    // when it was not tried for want of it; -1 otherwise.
    qint64 m_needed = -1;
    qint64 m_left = -1;
};
