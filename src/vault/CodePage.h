#pragma once

#include <QtGlobal>

// Windows-1252, the single-byte code page of the vault file, used on every
// platform so that a vault moves between machines unchanged; the help
// window's RTF reader reads 8-bit text with it too. The five bytes
// that Windows-1252 leaves undefined map to the control characters of the
// same code, as Windows maps them.
namespace CodePage {

// The character that a byte stands for.
char16_t toUnicode(uchar byte);

// The byte that stands for a character, or -1 when the code page has none.
int fromUnicode(char16_t character);

} // namespace CodePage
