#include "SecretPack.h"

#include <cstring>

namespace {

// Each text as its length in characters, then its UTF-16 code units.
using Length = quint32;

// Each entry as its fields in their order, then how many fields its line
// held in the file.
constexpr std::size_t kTextsPerEntry = kFieldCount + 1;

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
    texts.reserve(entries.size() * kTextsPerEntry);
    for (const VaultEntry &entry : entries) {
        for (const Field field : kFields)
            texts.push_back(entry.field(field));
        texts.push_back(QString::number(entry.fieldsInFile));
    }
    // The vector shares the entries' texts: nothing of them is copied here.
    return packTexts(texts);
}

std::vector<VaultEntry> unpackEntries(const SecureBytes &packed)
{
    std::vector<QString> texts = unpackTexts(packed);
    std::vector<VaultEntry> entries;
    entries.reserve(texts.size() / kTextsPerEntry);
    for (std::size_t i = 0; i + kTextsPerEntry <= texts.size(); i += kTextsPerEntry) {
        VaultEntry entry;
        for (const Field field : kFields)
            entry.field(field) = std::move(texts[i + std::size_t(field)]);
        entry.fieldsInFile = texts[i + kFieldCount].toInt();
        entries.push_back(std::move(entry));
    }
    return entries;
}
