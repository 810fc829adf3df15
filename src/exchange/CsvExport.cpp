#include "CsvExport.h"

#include "entries/EntryRules.h"

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
    QString text = QStringLiteral("name,url,username,password,note\r\n");
    for (const VaultEntry &entry : entries) {
        appendCell(text, entryName(entry.location));
        text += u',';
        appendCell(text, entry.location);
        text += u',';
        appendCell(text, entry.username);
        text += u',';
        appendCell(text, entry.password);
        text += QStringLiteral(",\r\n");
    }
    QByteArray bytes = text.toUtf8();
    // The text held every password: it goes before its memory is freed.
    text.fill(QChar(0));
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
