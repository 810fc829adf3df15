#include "Collation.h"

#ifdef Q_OS_WIN

#include <qt_windows.h>

Collator::Collator(const QLocale &locale)
    : m_localeName(locale.bcp47Name())
{
}

CollatorSortKey Collator::sortKey(const QString &text) const
{
    // Windows refuses an empty text; its key sorts before every other.
    if (text.isEmpty())
        return CollatorSortKey(QByteArray());
    const DWORD flags
        = LCMAP_SORTKEY | (m_sensitivity == Qt::CaseInsensitive ? NORM_IGNORECASE : 0);
    const auto locale = reinterpret_cast<LPCWSTR>(m_localeName.utf16());
    const auto source = reinterpret_cast<LPCWSTR>(text.utf16());
    const int length = int(text.size());
    // The destination size of a sort key is counted in bytes.
    const int size = LCMapStringEx(locale, flags, source, length, nullptr, 0, nullptr, nullptr, 0);
    QByteArray key(qMax(size, 0), Qt::Uninitialized);
    if (size <= 0
        || LCMapStringEx(locale, flags, source, length, reinterpret_cast<LPWSTR>(key.data()), size,
                         nullptr, nullptr, 0)
            != size) {
        // An unknown locale: order by the text itself, still deterministically.
        const QString folded = m_sensitivity == Qt::CaseInsensitive ? text.toCaseFolded() : text;
        return CollatorSortKey(folded.toUtf8());
    }
    return CollatorSortKey(key);
}

int Collator::compare(QStringView a, QStringView b) const
{
    // An empty text sorts before every other, as its key does.
    if (a.isEmpty() || b.isEmpty())
        return int(!a.isEmpty()) - int(!b.isEmpty());
    const DWORD flags = m_sensitivity == Qt::CaseInsensitive ? NORM_IGNORECASE : 0;
    const int result
        = CompareStringEx(reinterpret_cast<LPCWSTR>(m_localeName.utf16()), flags,
                          reinterpret_cast<LPCWSTR>(a.utf16()), int(a.size()),
                          reinterpret_cast<LPCWSTR>(b.utf16()), int(b.size()), nullptr, nullptr, 0);
    // An unknown locale: by the texts themselves, still deterministically.
    return result != 0 ? result - CSTR_EQUAL : a.compare(b, m_sensitivity);
}

#endif
