#pragma once

#include "info/RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

// The samples in rtf/ were all made from rtf/sample.html: by LibreOffice,
// by pandoc, and by hand as WordPad and Word write it. Each must show the
// same text with the same formatting.
namespace RtfTest {

inline const QStringList kSampleLines = {
    QStringLiteral("Vault notes"),
    QStringLiteral("Plain, bold, italic, underlined and red words."),
    QStringLiteral("\u2022\tFirst bullet"),
    QStringLiteral("\u2022\tSecond bullet"),
    QStringLiteral("1.\tStep one"),
    QStringLiteral("2.\tStep two"),
    QStringLiteral("Site"),
    QStringLiteral("User"),
    QStringLiteral("bank"),
    QStringLiteral("anna"),
    QStringLiteral("Meet at the caf\u00e9, pay 5 \u20ac \u2013 done."),
};

inline QString samplePath(const QString &name)
{
    return QFINDTESTDATA(QStringLiteral("rtf/") + name);
}

// The document's lines, with trailing spaces and empty lines left out:
// writers differ there and nobody sees it.
inline QStringList visibleLines(const QTextDocument &doc)
{
    QStringList lines;
    const QStringList all = doc.toPlainText().split(u'\n');
    for (QString line : all) {
        while (line.endsWith(u' '))
            line.chop(1);
        if (!line.isEmpty())
            lines.append(line);
    }
    return lines;
}

inline QTextCursor find(const QTextDocument &doc, const QString &text)
{
    const QTextCursor found = doc.find(text, 0, QTextDocument::FindCaseSensitively);
    if (found.isNull())
        qWarning("\"%s\" not found in \"%s\"", qPrintable(text), qPrintable(doc.toPlainText()));
    return found;
}

// The format of the first character of text in doc.
inline QTextCharFormat formatOf(const QTextDocument &doc, const QString &text)
{
    const QTextCursor found = find(doc, text);
    if (found.isNull())
        return {};
    QTextCursor at(found.document());
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

inline QTextBlockFormat blockOf(const QTextDocument &doc, const QString &text)
{
    const QTextCursor found = find(doc, text);
    return found.isNull() ? QTextBlockFormat() : found.block().blockFormat();
}

inline QList<QTextTable *> tablesOf(const QTextDocument &doc)
{
    QList<QTextTable *> tables;
    const QList<QTextFrame *> frames = doc.rootFrame()->childFrames();
    for (QTextFrame *frame : frames) {
        if (auto *table = qobject_cast<QTextTable *>(frame))
            tables.append(table);
    }
    return tables;
}

inline QString cellText(QTextTable *table, int row, int column)
{
    QTextCursor cursor = table->cellAt(row, column).firstCursorPosition();
    cursor.setPosition(table->cellAt(row, column).lastCursorPosition().position(),
                       QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

inline QByteArray repeated(const QByteArray &part, int count)
{
    return part.repeated(count);
}

} // namespace RtfTest
