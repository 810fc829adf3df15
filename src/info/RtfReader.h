#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// Reads Rich Text Format into a QTextDocument, for the help window: Qt has
// no RTF reader of its own.
//
// It shows what WordPad, Word, LibreOffice and pandoc write: fonts, colours,
// bold, italic, underline, strike-through, sizes, paragraph alignment,
// indents and spacing, tab stops, bullets and numbers (as the text the
// writer put in front of each item), tables (as QTextTable), hyperlinks
// (the field result, linked when the field is a web or mail address) and
// Windows-1252 and \u characters. Pictures, objects, headers, footers,
// notes, style sheets and the other destinations it does not show are
// skipped whole, as is a destination marked "\*" that it does not know; a
// marked one it knows, such as "{\*\fldrslt ...}", is read.
//
// Any input is safe to read: nesting is limited, numbers are bounded, \bin
// and \uc counts cannot run past the end, and the time taken grows linearly
// with the input.
class RtfReader
{
public:
    // Groups nested deeper than this still parse, but share the state of
    // the deepest group kept.
    static constexpr int kMaxGroupDepth = 1000;

    // Replaces the content of doc with the document in rtf. Returns false,
    // leaving doc as it was and setting *error, when rtf is not RTF at all
    // (it must start with "{\rtf"). Damaged RTF — unbalanced braces, a
    // truncated end — is shown as far as it can be read.
    static bool read(const QByteArray &rtf, QTextDocument *doc, QString *error = nullptr);

    // As read(), from a file.
    static bool readFile(const QString &path, QTextDocument *doc, QString *error = nullptr);
};
