// What both programs do at start before their window appears: the game's icon and desktop entry, the
// fonts the fixed layouts are measured in, and the language of the run ("--lang", else the locale), which
// Qt's standard dialogs follow too.
#pragma once
#include <QString>

// Call once the QApplication exists. DesktopId names the program's desktop entry (without ".desktop"), so
// that the window system groups the window under its menu entry.
void PrepareProgram(const QString& DesktopId);
