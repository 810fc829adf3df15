#include "KeyDerivation.h"

#include "Wipe.h"

#include <QMetaObject>

struct KeyDerivation::Work
{
    SecureBytes password;
    EncryptedFormat::KdfParams params;
    EncryptedFormat::Salt salt {};
    EncryptedFormat::VaultKey key;
    EncryptedFormat::Problem problem = EncryptedFormat::Problem::None;
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

QString KeyDerivation::outOfMemoryMessage()
{
    return QStringLiteral(
        "There is not enough memory to derive the vault's key from the master password. "
        "Close other programs and try again. Nothing has been changed.");
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
    Work *work = m_work.get();
    m_thread = std::thread([this, work] {
        // A password that found no secure memory is an OutOfMemory there.
        work->problem
            = EncryptedFormat::deriveKey(work->password, work->params, work->salt, &work->key);
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
