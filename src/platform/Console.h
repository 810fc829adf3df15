#pragma once

#include <QString>

// Writes text to the standard output for a command-line request. On Windows
// the program is a windowed one without a console of its own: it writes to
// the console of the command prompt that started it, or to where its output
// was sent; started from the desktop it has nowhere to write, and writes
// nothing. False when nothing could be written.
bool writeToConsole(const QString &text);
