#pragma once

class QWidget;

// Puts a window into the band of windows kept above all others, those of
// other programs included, or takes it out of it. The window keeps its
// position and size either way; it is then activated and put at the top of
// its band.
void SetTopmost(QWidget *window, bool onTop);

// Whether a window of the program other than `except` is showing in the
// topmost band.
bool topmostWindowShowing(const QWidget *except = nullptr);

// Puts a window that is about to open into the topmost band when another
// window of the program is showing there, so that it opens above it rather
// than underneath.
void keepAboveTopmostWindows(QWidget *window);
