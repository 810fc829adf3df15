#pragma once

#include <QString>

// Rules of the RTF reader that need no document: which character a byte
// stands for, and which address a hyperlink field opens.
namespace Rtf {

// Symbol and Wingdings put their glyphs on ordinary byte values; list
// bullets are written with them, so the bullets are mapped to Unicode.
enum class SymbolFont { None, Symbol, Wingdings };

// The character a byte of text stands for in a font of that kind: the
// bullets and arrows of the symbol fonts, Windows-1252 (CodePage) for the
// rest.
char16_t fromSymbolFont(SymbolFont kind, uchar byte);

// The target of a HYPERLINK field instruction, if it is one the help window
// may open: a web or mail address, or a place in the same document ("#name").
// Empty for any other instruction.
QString hyperlinkTarget(const QString &instruction);

} // namespace Rtf
