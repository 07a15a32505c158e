// What both programs do at start: the desktop entry, the fonts the fixed layouts are measured in and the
// language of the run ("--lang", else the locale) before the window appears; the game's icon, and Qt's own
// texts for its standard dialogs unless something asked for them sooner, once it has painted.
#pragma once
#include <QString>

#include <functional>

class QCommandLineParser;

// Call once the QApplication exists. DesktopId names the program's desktop entry (without ".desktop"), so
// that the window system groups the window under its menu entry.
void PrepareProgram(const QString& DesktopId);

// Runs Work on the event loop once the program's first window has painted: what the first picture does not
// need waits until the person sees the window. Call it before the first window is shown.
void AfterFirstPaint(std::function<void()> Work);

// Answers --help and --version and exits, before any window system is needed, so that they work without a
// display; the window system's own options (-platform and the like) are only known once QApplication has
// taken them. Does nothing when the command line asks for neither.
void AnswerHelpAndVersion(int argc, char** argv, void (*NameApplication)(),
                          void (*DescribeCommandLine)(QCommandLineParser&));
