#pragma once

#include <QByteArrayView>
#include <QStringView>

#include <cstddef>

// Bytes that hold a secret (a key, a password on its way to the key
// derivation), in memory of its own from libsodium: kept out of swap where
// the system allows it, fenced by guard pages, and wiped when released.
// Moves, never copies.
class SecureBytes
{
public:
    SecureBytes() = default;
    // size bytes, zeroed; null when the memory could not be had.
    explicit SecureBytes(std::size_t size);
    ~SecureBytes();
    SecureBytes(SecureBytes &&other) noexcept;
    SecureBytes &operator=(SecureBytes &&other) noexcept;
    SecureBytes(const SecureBytes &) = delete;
    SecureBytes &operator=(const SecureBytes &) = delete;

    // The text in UTF-8, copied straight into secure memory.
    static SecureBytes fromText(QStringView text);

    bool isNull() const { return m_data == nullptr; }
    unsigned char *data() { return m_data; }
    const unsigned char *data() const { return m_data; }
    std::size_t size() const { return m_size; }

    // Wipes and frees the bytes; the object is null afterwards.
    void clear();

private:
    unsigned char *m_data = nullptr;
    std::size_t m_size = 0;
};

// libsodium, started once for the whole run (any thread may call this);
// false when it cannot work here.
bool sodiumReady();
