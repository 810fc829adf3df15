#include "Wipe.h"

#include "VaultFormat.h"

#include <QByteArray>
#include <QString>

#include <sodium.h>

void wipe(QByteArray &bytes)
{
    if (!bytes.isEmpty() && bytes.isDetached())
        sodium_memzero(bytes.data(), size_t(bytes.size()));
    bytes.clear();
}

void wipe(QString &text)
{
    if (!text.isEmpty() && text.isDetached())
        sodium_memzero(text.data(), size_t(text.size()) * sizeof(QChar));
    text.clear();
}

void wipe(VaultEntry &entry)
{
    for (const Field field : kFields)
        wipe(entry.field(field));
}

void wipeEverywhere(QString &text)
{
    // Texts built into the program (literals) are read-only and no secret.
    if (!text.isEmpty() && text.data_ptr().d_ptr())
        sodium_memzero(const_cast<QChar *>(text.constData()),
                       std::size_t(text.size()) * sizeof(QChar));
    text = QString();
}

void wipeEverywhere(VaultEntry &entry)
{
    for (const Field field : kFields)
        wipeEverywhere(entry.field(field));
}

void wipeIfHeldByAtMost(QString &text, int holders)
{
    const auto *data = text.data_ptr().d_ptr();
    if (data && data->ref_.loadRelaxed() <= holders)
        wipeEverywhere(text);
    text = QString();
}

QString separateCopy(const QString &text)
{
    return text.isEmpty() ? QString() : QString(text.constData(), text.size());
}

void separateTexts(VaultEntry &entry)
{
    for (const Field field : kFields)
        entry.field(field) = separateCopy(entry.field(field));
}

Q_NEVER_INLINE void wipeStack()
{
    // Deeper than libsodium's key derivation and ciphers reach, with room to
    // spare for a build whose frames carry a sanitizer's guard zones.
    unsigned char area[64 * 1024];
    sodium_memzero(area, sizeof area);
}
