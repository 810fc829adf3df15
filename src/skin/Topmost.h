#pragma once

class QWidget;

// Puts a window into the band of windows kept above all others, those of
// other programs included, or takes it out of it. The window keeps its
// position and size either way; it is then activated and put at the top of
// its band.
void SetTopmost(QWidget *window, bool onTop);
