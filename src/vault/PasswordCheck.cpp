#include "PasswordCheck.h"

#include <sodium.h>

namespace {
constexpr std::size_t kDigestSize = crypto_generichash_BYTES;
}

void PasswordCheck::set(QStringView password)
{
    m_key = SecureBytes(crypto_generichash_KEYBYTES);
    if (!m_key.isNull())
        randombytes_buf(m_key.data(), m_key.size());
    m_digest = digestOf(password);
}

bool PasswordCheck::matches(QStringView typed) const
{
    const SecureBytes digest = digestOf(typed);
    return !digest.isNull() && !m_digest.isNull()
        && sodium_memcmp(digest.data(), m_digest.data(), kDigestSize) == 0;
}

void PasswordCheck::clear()
{
    m_key.clear();
    m_digest.clear();
}

SecureBytes PasswordCheck::digestOf(QStringView text) const
{
    if (m_key.isNull())
        return {};
    const SecureBytes bytes = SecureBytes::fromText(text);
    SecureBytes digest(kDigestSize);
    if (bytes.isNull() || digest.isNull())
        return {};
    crypto_generichash(digest.data(), kDigestSize, bytes.data(), bytes.size(), m_key.data(),
                       m_key.size());
    return digest;
}
