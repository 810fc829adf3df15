#pragma once

#include "SecureBytes.h"

#include <QStringView>

// Tells whether a typed password is the master password without keeping the
// password itself: a BLAKE2b digest of it under a random key made for this
// object, both in secure memory. Checking takes microseconds, where deriving
// the vault key again would take a third of a second.
class PasswordCheck
{
public:
    void set(QStringView password);
    bool matches(QStringView typed) const;
    bool isSet() const { return !m_digest.isNull(); }
    void clear();

private:
    SecureBytes digestOf(QStringView text) const;

    SecureBytes m_key;
    SecureBytes m_digest;
};
