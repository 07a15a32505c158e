// What both programs do at start before their window appears: the game's icon and desktop entry, the
// fonts the fixed layouts are measured in, and the standard dialogs in Russian like the rest of the window.
#pragma once
#include <QString>

// Call once the QApplication exists. DesktopId names the program's desktop entry (without ".desktop"), so
// that the window system groups the window under its menu entry.
void PrepareProgram(const QString& DesktopId);
// Qt's own texts in Russian, like ours: the command line's usage, option and error lines, and the standard
// dialogs' buttons. Needs only a QCoreApplication, so --help can speak Russian without a display; the
// translation goes with the application object. Left in English where Qt's translations are not installed.
void InstallQtTranslation();
