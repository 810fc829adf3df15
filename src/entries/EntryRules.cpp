#include "EntryRules.h"

#include "info/LinkRules.h"
#include "vault/EntryFields.h"

#include <QDir>

#include <algorithm>
#include <initializer_list>

namespace EntryRules {

namespace {

EntryProblem problem(Field field, const QString &message)
{
    return EntryProblem {field, message};
}

} // namespace

int firstSelectedRow(const QList<int> &selectedRows)
{
    int first = 0;
    for (int row : selectedRows) {
        if (row >= 1 && (first == 0 || row < first))
            first = row;
    }
    return first;
}

namespace {

// Texts joined in one buffer of the right size: a text that shows a
// password leaves no partial copy of it behind as it grows.
QString joined(std::initializer_list<QStringView> parts)
{
    qsizetype size = 0;
    for (const QStringView part : parts)
        size += part.size();
    QString text;
    text.reserve(size);
    for (const QStringView part : parts)
        text.append(part);
    return text;
}

} // namespace

QString deleteQuestion(const VaultEntry &entry)
{
    return joined({u"Are you sure you want to delete the following information?\r\n\r\n"
                   u"Username: ",
                   entry.username, u"\r\nPassword: ", entry.password, u"\r\nUsed At: ",
                   entry.location});
}

QString copiedStatus(Field field, const QString &value)
{
    // The status bar shows one line: a value far longer than any screen is
    // shown by its start, as the list shows it, so that the copy does not lay
    // out the whole of it.
    constexpr qsizetype longest = EntryListModel::kLongestShown;
    const QStringView prefix = entryField(field).copied;
    if (value.size() > longest)
        return joined({prefix, QStringView(value).first(longest), u"\u2026"});
    return joined({prefix, value});
}

bool isLocalPath(const QString &location)
{
    const auto startsWith = [&location](const char *prefix) {
        return location.startsWith(QLatin1StringView(prefix));
    };
    const bool driveLetter = location.size() >= 3 && location[0].isLetter()
        && location[0].unicode() < 0x80 && location[1] == u':'
        && (location[2] == u'\\' || location[2] == u'/');
    return driveLetter || startsWith("\\\\") || startsWith("/") || startsWith("~/");
}

QString normalisedLocation(const QString &typed)
{
    // Blanks around a location come with pasting it; no address or path
    // begins or ends with them.
    const QString location = typed.trimmed();
    // "~" stands for the home folder only to a shell, which Go To does not
    // start.
    if (location.startsWith(QLatin1StringView("~/")))
        return QDir::toNativeSeparators(QDir::homePath() + location.mid(1));
    if (isLocalPath(location))
        return location;
    // Three markers carry a dot and three do not: "org" also matches inside
    // a word, and that is how addresses have always been recognised here.
    static const QLatin1StringView markers[] = {
        QLatin1StringView(".edu"), QLatin1StringView("biz"),  QLatin1StringView("org"),
        QLatin1StringView(".net"), QLatin1StringView(".com"), QLatin1StringView("www"),
    };
    const bool looksLikeWebAddress
        = std::any_of(std::begin(markers), std::end(markers), [&](QLatin1StringView marker) {
              return location.contains(marker, Qt::CaseInsensitive);
          });
    return looksLikeWebAddress ? LinkRules::normalisedAddress(location) : location;
}

QString firstUnstorable(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype length = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            length = 2;
        const QStringView character = QStringView(text).sliced(i, length);
        if (!VaultFormat::canStore(character)) {
            const char32_t code = length == 2 ? QChar::surrogateToUcs4(text[i], text[i + 1])
                                              : char32_t(text[i].unicode());
            const QString number = QStringLiteral("U+")
                + QString::number(uint(code), 16).toUpper().rightJustified(4, u'0');
            if (QChar::isPrint(code))
                return QStringLiteral("\"%1\" (%2)").arg(character.toString(), number);
            return number;
        }
        i += length - 1;
    }
    return QString();
}

EntryProblem checkEntry(const VaultEntry &entry)
{
    if (entry.username.isEmpty())
        return problem(Field::Username, QStringLiteral("You must enter a username"));
    if (entry.password.isEmpty())
        return problem(Field::Password, QStringLiteral("You must enter a password"));

    for (const Field field : kFields) {
        const QString &text = entry.field(field);
        const QString name = entryField(field).editorName.toString();
        if (text.contains(VaultFormat::kSeparator)) {
            return problem(field,
                           QStringLiteral("The %1 cannot contain \"|||\": the vault file uses "
                                          "these three characters to separate the fields of "
                                          "an entry.\n\nPlease change the %1 and save again.")
                               .arg(name));
        }
        if (field != Field::Location && text.endsWith(QLatin1Char('|'))) {
            return problem(field,
                           QStringLiteral("The %1 cannot end with \"|\": the vault file would "
                                          "join it to the \"|||\" that separates the fields of "
                                          "an entry.\n\nPlease change the %1 and save again.")
                               .arg(name));
        }
        const QString unstorable = firstUnstorable(text);
        if (!unstorable.isEmpty()) {
            return problem(field,
                           QStringLiteral("The %1 contains a character that the vault file "
                                          "cannot store: %2.\n\nPlease remove it and save "
                                          "again.")
                               .arg(name, unstorable));
        }
    }
    return EntryProblem();
}

int storeEntry(EntryListChange &list, const EditTarget &target, VaultEntry entry)
{
    if (target.adding)
        return list.append(std::move(entry));
    const int row = list.rowOf(target.id);
    if (row == 0)
        return 0;
    return list.setEntry(row, std::move(entry));
}

QString entryGoneMessage()
{
    return QStringLiteral("The entry you were editing is no longer in the list: it was deleted "
                          "while this window was open.\n\nNothing was saved.");
}

} // namespace EntryRules
