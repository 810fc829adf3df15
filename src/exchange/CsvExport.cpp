#include "CsvExport.h"

#include "entries/EntryRules.h"
#include "vault/Wipe.h"

#include <QUrl>

namespace CsvExport {

namespace {

void appendCell(QString &line, const QString &cell)
{
    const bool quoted = cell.contains(u',') || cell.contains(u'"') || cell.contains(u'\r')
        || cell.contains(u'\n')
        || (!cell.isEmpty() && (cell.front().isSpace() || cell.back().isSpace()));
    if (!quoted) {
        line += cell;
        return;
    }
    line += u'"';
    for (const QChar c : cell) {
        if (c == u'"')
            line += u'"';
        line += c;
    }
    line += u'"';
}

} // namespace

QString entryName(const QString &location)
{
    if (EntryRules::isLocalPath(location))
        return location;
    const QString host = QUrl(location).host();
    if (!host.isEmpty())
        return host;
    // Go To's rule tells a web address written without its scheme.
    const QString guessed = QUrl(EntryRules::normalisedLocation(location)).host();
    return guessed.isEmpty() ? location : guessed;
}

QByteArray content(std::span<const VaultEntry> entries)
{
    const QString header = QStringLiteral("name,url,username,password,note\r\n");
    // The text is made in one block, reserved for the longest it can come
    // to (every character a doubled quote, every cell quoted): a text that
    // grew would leave copies of the passwords behind in the blocks it grew
    // out of, where nothing wipes them.
    QStringList names;
    names.reserve(qsizetype(entries.size()));
    qsizetype longest = header.size();
    const auto cell = [](const QString &text) {
        return 2 * text.size() + 3;
    };
    for (const VaultEntry &entry : entries) {
        names.append(entryName(entry.location));
        longest += cell(names.back()) + cell(entry.location) + cell(entry.username)
            + cell(entry.password) + 2;
    }
    QString text;
    text.reserve(longest);
    text += header;
    for (qsizetype i = 0; i < qsizetype(entries.size()); ++i) {
        const VaultEntry &entry = entries[size_t(i)];
        appendCell(text, names[i]);
        text += u',';
        appendCell(text, entry.location);
        text += u',';
        appendCell(text, entry.username);
        text += u',';
        appendCell(text, entry.password);
        text += QStringLiteral(",\r\n");
    }
    QByteArray bytes = text.toUtf8();
    // The text held every password.
    wipe(text);
    return bytes;
}

QString warning()
{
    return QStringLiteral(
        "The file you are about to save will hold every username, password and location of "
        "the vault in plain text. Anyone who can read the file can read all of them.\n\n"
        "Keep it only as long as you need it: import it into the other program, then delete "
        "it (and empty the recycle bin).\n\nExport the entries?");
}

} // namespace CsvExport
