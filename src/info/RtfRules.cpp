#include "RtfRules.h"

#include "vault/CodePage.h"

#include <QUrl>

namespace Rtf {

char16_t fromSymbolFont(SymbolFont kind, uchar byte)
{
    if (kind == SymbolFont::Symbol) {
        switch (byte) {
        case 0xB7:
            return 0x2022; // bullet
        case 0xAC:
            return 0x2190; // arrows
        case 0xAD:
            return 0x2191;
        case 0xAE:
            return 0x2192;
        case 0xAF:
            return 0x2193;
        default:
            break;
        }
    } else if (kind == SymbolFont::Wingdings) {
        switch (byte) {
        case 0x6C:
            return 0x25CF; // black circle
        case 0x6E:
            return 0x25A0; // black square
        case 0x71:
            return 0x2751; // shadowed square
        case 0x76:
            return 0x2756; // diamond of diamonds
        case 0xA7:
            return 0x25AA; // small square
        case 0xA8:
            return 0x25FB; // white square
        case 0xD8:
            return 0x27A2; // arrowhead
        case 0xFC:
            return 0x2713; // check mark
        default:
            break;
        }
    }
    return CodePage::toUnicode(byte);
}

QString hyperlinkTarget(const QString &instruction)
{
    const QString text = instruction.trimmed();
    static const QLatin1String kHyperlink("HYPERLINK");
    if (!text.startsWith(kHyperlink, Qt::CaseInsensitive))
        return {};

    QString address;
    QString bookmark;
    bool nextIsBookmark = false;
    bool nextIsSkipped = false;
    qsizetype i = kHyperlink.size();
    while (i < text.size()) {
        if (text.at(i).isSpace()) {
            ++i;
            continue;
        }
        if (text.at(i) == u'\\' && i + 1 < text.size()) {
            const QChar option = text.at(i + 1).toLower();
            nextIsBookmark = option == u'l';
            nextIsSkipped = option == u'o' || option == u't';
            i += 2;
            continue;
        }
        QString argument;
        if (text.at(i) == u'"') {
            const qsizetype close = text.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? text.size() : close;
            argument = text.mid(i + 1, end - i - 1);
            i = end + 1;
        } else {
            const qsizetype start = i;
            while (i < text.size() && !text.at(i).isSpace())
                ++i;
            argument = text.mid(start, i - start);
        }
        if (nextIsBookmark)
            bookmark = argument;
        else if (!nextIsSkipped && address.isEmpty())
            address = argument;
        nextIsBookmark = false;
        nextIsSkipped = false;
    }

    if (address.isEmpty())
        return bookmark.isEmpty() ? QString() : u'#' + bookmark;
    if (address.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        address.prepend(QLatin1String("http://"));
    const QUrl url(address);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https")
            && scheme != QLatin1String("mailto")))
        return {};
    if (!bookmark.isEmpty())
        address += u'#' + bookmark;
    return address;
}

} // namespace Rtf
