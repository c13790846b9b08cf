#pragma once
// Qt gives a window without a title the program's name in the window system; a box meant to have
// no caption shows none.

#include <QWidget>

// From the window's first showing on, the title the window system shows is empty (X11; other
// platforms keep Qt's own).
void KeepNativeTitleEmpty(QWidget& window);
