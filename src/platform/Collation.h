#pragma once

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QByteArray>
#include <QLocale>
#include <QString>

#include <utility>
#else
#include <QCollator>
#include <QCollatorSortKey>
#endif

// Sort keys that order texts as the system's collation does.
//
// On Windows, Qt 6.4 (built without ICU) writes the system's sort key into a
// string twice the key's size and compares it as UTF-16, the uninitialised
// half included, so texts that collate equal come out in an arbitrary order.
// There the key is kept as the bytes Windows makes and compared as bytes.
#ifdef Q_OS_WIN

class CollatorSortKey
{
public:
    int compare(const CollatorSortKey &other) const { return m_bytes.compare(other.m_bytes); }

private:
    friend class Collator;
    explicit CollatorSortKey(QByteArray bytes)
        : m_bytes(std::move(bytes))
    {
    }
    QByteArray m_bytes;
};

class Collator
{
public:
    explicit Collator(const QLocale &locale = QLocale());
    void setCaseSensitivity(Qt::CaseSensitivity sensitivity) { m_sensitivity = sensitivity; }
    CollatorSortKey sortKey(const QString &text) const;
    // How a compares with b, as their sort keys would, without making them.
    int compare(QStringView a, QStringView b) const;

private:
    QString m_localeName;
    Qt::CaseSensitivity m_sensitivity = Qt::CaseSensitive;
};

#else

using Collator = QCollator;
using CollatorSortKey = QCollatorSortKey;

#endif
