#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The rules of the per-user choice whether the help window opens by itself
// after start-up (Settings' "showHelp" text): "1" opens it, "0" does not; a
// missing value counts as "1".
namespace ShowHelpSetting {

// Start-up opens the help window only for the exact text "1": "01" or " 1"
// do not count, although they tick the check box.
bool opensAtStartup(const QString &value);

// A text converted to a 16-bit integer the way the classic Basic CInt does:
// surrounding blanks are ignored; a sign, a decimal fraction and an exponent
// are allowed, and the value is rounded half to even; "&H" and "&O" give
// hexadecimal and octal. Nothing when the text is not a number or the value
// does not fit into 16 bits.
std::optional<qint16> toInt16(const QString &text);

// The state the "Show at Startup" box takes from a stored value: 0 unticked,
// 1 ticked, 2 partly ticked. Nothing when the value is not a number or not
// one of those states; the box then keeps the state it has.
std::optional<int> checkBoxValue(const QString &stored);

// The text stored for a state of the box: its number in decimal.
QString storedText(int checkBoxValue);

} // namespace ShowHelpSetting
