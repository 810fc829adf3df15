#include "SecretPack.h"

#include <sodium.h>

#include <cstring>

namespace {

// Each text as its length in characters, then its UTF-16 code units.
using Length = quint32;

} // namespace

SecureBytes packTexts(std::span<const QString> texts)
{
    std::size_t size = 0;
    for (const QString &text : texts)
        size += sizeof(Length) + std::size_t(text.size()) * sizeof(QChar);
    SecureBytes packed(qMax<std::size_t>(size, 1));
    if (packed.isNull())
        return packed;
    unsigned char *out = packed.data();
    for (const QString &text : texts) {
        const Length length = Length(text.size());
        std::memcpy(out, &length, sizeof length);
        out += sizeof length;
        std::memcpy(out, text.constData(), std::size_t(length) * sizeof(QChar));
        out += std::size_t(length) * sizeof(QChar);
    }
    return packed;
}

std::vector<QString> unpackTexts(const SecureBytes &packed)
{
    std::vector<QString> texts;
    if (packed.isNull())
        return texts;
    const unsigned char *in = packed.data();
    const unsigned char *end = in + packed.size();
    while (std::size_t(end - in) >= sizeof(Length)) {
        Length length = 0;
        std::memcpy(&length, in, sizeof length);
        in += sizeof length;
        const std::size_t bytes = std::size_t(length) * sizeof(QChar);
        if (std::size_t(end - in) < bytes)
            break;
        QString text(qsizetype(length), Qt::Uninitialized);
        std::memcpy(text.data(), in, bytes);
        in += bytes;
        texts.push_back(std::move(text));
    }
    return texts;
}

SecureBytes packEntries(std::span<const VaultEntry> entries)
{
    std::vector<QString> texts;
    texts.reserve(entries.size() * 4);
    for (const VaultEntry &entry : entries) {
        texts.push_back(entry.username);
        texts.push_back(entry.password);
        texts.push_back(entry.location);
        texts.push_back(QString::number(entry.fieldsInFile));
    }
    // The vector shares the entries' texts: nothing of them is copied here.
    return packTexts(texts);
}

std::vector<VaultEntry> unpackEntries(const SecureBytes &packed)
{
    std::vector<QString> texts = unpackTexts(packed);
    std::vector<VaultEntry> entries;
    entries.reserve(texts.size() / 4);
    for (std::size_t i = 0; i + 3 < texts.size(); i += 4) {
        VaultEntry entry {std::move(texts[i]), std::move(texts[i + 1]), std::move(texts[i + 2])};
        entry.fieldsInFile = texts[i + 3].toInt();
        entries.push_back(std::move(entry));
    }
    return entries;
}

void wipeEverywhere(QString &text)
{
    // Texts built into the program (literals) are read-only and no secret.
    if (!text.isEmpty() && text.data_ptr().d_ptr())
        sodium_memzero(const_cast<QChar *>(text.constData()),
                       std::size_t(text.size()) * sizeof(QChar));
    text = QString();
}

void wipeIfHeldByAtMost(QString &text, int holders)
{
    const auto *data = text.data_ptr().d_ptr();
    if (data && data->ref_.loadRelaxed() <= holders)
        wipeEverywhere(text);
    text = QString();
}

void wipeEverywhere(VaultEntry &entry)
{
    wipeEverywhere(entry.username);
    wipeEverywhere(entry.password);
    wipeEverywhere(entry.location);
}

void wipe(VaultEntry &entry)
{
    wipe(entry.username);
    wipe(entry.password);
    wipe(entry.location);
}

QString separateCopy(const QString &text)
{
    return text.isEmpty() ? QString() : QString(text.constData(), text.size());
}

void separateTexts(VaultEntry &entry)
{
    entry.username = separateCopy(entry.username);
    entry.password = separateCopy(entry.password);
    entry.location = separateCopy(entry.location);
}
