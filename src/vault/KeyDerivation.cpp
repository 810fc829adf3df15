#include "KeyDerivation.h"

#include "Wipe.h"
#include "platform/MemoryLimit.h"

#include <QMetaObject>

namespace {

// What the derivation's thread takes beside Argon2id's memory.
constexpr qint64 kSpareMemory = 16 << 20;
constexpr qint64 kMebibyte = 1 << 20;

} // namespace

struct KeyDerivation::Work
{
    SecureBytes password;
    EncryptedFormat::KdfParams params;
    EncryptedFormat::Salt salt {};
    EncryptedFormat::VaultKey key;
    EncryptedFormat::Problem problem = EncryptedFormat::Problem::None;
    qint64 needed = -1;
    qint64 left = -1;
};

KeyDerivation::KeyDerivation(QObject *parent)
    : QObject(parent)
{
}

KeyDerivation::~KeyDerivation()
{
    if (m_thread.joinable())
        m_thread.join();
}

QString KeyDerivation::outOfMemoryMessage() const
{
    QString text = QStringLiteral(
        "There is not enough memory to derive the vault's key from the master password.");
    if (m_needed >= 0) {
        // Rounded so that the figures never make the need look met.
        text += QStringLiteral(" It needs %1 MiB, and %2 MiB are left for the program.")
                    .arg((m_needed + kMebibyte - 1) / kMebibyte)
                    .arg(m_left / kMebibyte);
    }
    return text + QStringLiteral(" Close other programs and try again. Nothing has been changed.");
}

bool KeyDerivation::start(QStringView password, const EncryptedFormat::KdfParams &params,
                          const EncryptedFormat::Salt &salt)
{
    if (m_running)
        return false;
    if (m_thread.joinable())
        m_thread.join();
    m_running = true;
    m_work = std::make_unique<Work>();
    m_work->password = SecureBytes::fromText(password);
    m_work->params = params;
    m_work->salt = salt;
    // Argon2id touches every byte of its memory, so it is not tried when
    // the process may not have that much: checked against the same limits
    // that loading a vault keeps within.
    const qint64 needed = qint64(params.memKiB) * 1024 + kSpareMemory;
    const qint64 left = memoryLeftForProcess();
    if (left >= 0 && needed > left) {
        m_work->needed = needed;
        m_work->left = left;
    }
    Work *work = m_work.get();
    m_thread = std::thread([this, work] {
        // A password that found no secure memory is an OutOfMemory there.
        work->problem = work->needed >= 0
            ? EncryptedFormat::Problem::OutOfMemory
            : EncryptedFormat::deriveKey(work->password, work->params, work->salt, &work->key);
        work->password.clear();
        // Back on this object's thread. The destructor waits for this thread,
        // so the object is still there when the call is queued.
        QMetaObject::invokeMethod(this, &KeyDerivation::done, Qt::QueuedConnection);
        // Argon2 leaves the key in its local variables, and the stack of a
        // thread that has ended stays mapped for the next thread to use.
        wipeStack();
    });
    return true;
}

void KeyDerivation::done()
{
    if (m_thread.joinable())
        m_thread.join();
    m_running = false;
    m_needed = m_work ? m_work->needed : -1;
    m_left = m_work ? m_work->left : -1;
    emit finished(m_work ? m_work->problem : EncryptedFormat::Problem::OutOfMemory);
}

EncryptedFormat::VaultKey KeyDerivation::takeKey()
{
    if (m_running || !m_work || m_work->problem != EncryptedFormat::Problem::None)
        return {};
    EncryptedFormat::VaultKey key = std::move(m_work->key);
    m_work.reset();
    return key;
}
