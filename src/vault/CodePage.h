#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the single-byte code page of the vault file, used on every
// platform so that a vault moves between machines unchanged. The five bytes
// that Windows-1252 leaves undefined map to the control characters of the
// same code, as Windows maps them.
namespace CodePage {

// The character that a byte stands for.
char16_t toUnicode(uchar byte);

// The byte that stands for a character, or -1 when the code page has none.
int fromUnicode(char16_t character);

bool canEncode(QStringView text);

// Characters the code page cannot hold become '?'; check with canEncode first
// where that matters.
QByteArray encode(QStringView text);
QString decode(QByteArrayView bytes);

} // namespace CodePage
