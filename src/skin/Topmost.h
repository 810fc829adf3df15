#pragma once

#include <QtGlobal>

class QWidget;

// Puts a window into the band of windows kept above all others, those of
// other programs included, or takes it out of it. onTop is a 16-bit flag:
// exactly -1 (True) means on top, every other value (False included) means
// not. The window keeps its position and size either way; it is then
// activated and put at the top of its band.
void SetTopmost(QWidget *window, qint16 onTop);
