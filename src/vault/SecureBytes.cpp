#include "SecureBytes.h"

#include <QString>

#include <sodium.h>

#include <utility>

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

SecureBytes::SecureBytes(std::size_t size)
{
    if (!sodiumReady())
        return;
    // sodium_malloc of zero bytes still hands back a guarded page; one byte
    // keeps data() valid for an empty secret.
    m_data = static_cast<unsigned char *>(sodium_malloc(size > 0 ? size : 1));
    if (m_data) {
        m_size = size;
        sodium_memzero(m_data, size > 0 ? size : 1);
    }
}

SecureBytes::~SecureBytes()
{
    clear();
}

SecureBytes::SecureBytes(SecureBytes &&other) noexcept
    : m_data(std::exchange(other.m_data, nullptr))
    , m_size(std::exchange(other.m_size, 0))
{
}

SecureBytes &SecureBytes::operator=(SecureBytes &&other) noexcept
{
    if (this != &other) {
        clear();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

SecureBytes SecureBytes::fromText(QStringView text)
{
    // UTF-8 needs at most three bytes for each UTF-16 unit.
    SecureBytes room(std::size_t(text.size()) * 3);
    if (room.isNull())
        return room;
    std::size_t n = 0;
    unsigned char *out = room.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(char16_t(c), text[i + 1].unicode());
            ++i;
        } else if (QChar::isSurrogate(c)) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out[n++] = uchar(c);
        } else if (c < 0x800) {
            out[n++] = uchar(0xC0 | (c >> 6));
            out[n++] = uchar(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out[n++] = uchar(0xE0 | (c >> 12));
            out[n++] = uchar(0x80 | ((c >> 6) & 0x3F));
            out[n++] = uchar(0x80 | (c & 0x3F));
        } else {
            // A surrogate pair: two units in, four bytes out.
            out[n++] = uchar(0xF0 | (c >> 18));
            out[n++] = uchar(0x80 | ((c >> 12) & 0x3F));
            out[n++] = uchar(0x80 | ((c >> 6) & 0x3F));
            out[n++] = uchar(0x80 | (c & 0x3F));
        }
    }
    room.m_size = n;
    return room;
}

void SecureBytes::clear()
{
    if (m_data)
        sodium_free(m_data); // wipes before it frees
    m_data = nullptr;
    m_size = 0;
}
