// The board as both main windows store it (ChessBrd1), and the fonts their fixed layouts are measured in.
#pragma once
#include <QFont>
#include <QImage>

class QString;
class TChessBrd;

// White border, white and silver squares, coordinates on all four sides in black, animated moves with
// delay 0, lowest thinking priority, the windows' own piece set, an empty position; and beyond the stored
// form, the piece set's larger drawings, click and keyboard play with the legal squares marked, and the
// busy cursor while the computer thinks.
void ApplyMainWindowBoardSettings(TChessBrd& Board);

// Switches the computer off and lets go of the game events a main window handles, for its destructor: the
// board outlives the window's own part while the base class tears its children down.
void DetachWindowHandlers(TChessBrd& Board);

// Maps "Tahoma" onto an installed face of the same metrics class; call once before creating windows.
void InstallFontSubstitutes();

// A compiled-in picture of a known format, read without asking the image plug-ins: detecting the format
// would load every one of them (and the libraries they link) before the first paint.
QImage ReadResourceImage(const QString& Path, const char* Format);

// "Tahoma" at a pixel size (8 points at 96 dpi = 11 px), as the layouts request it.
QFont TahomaFont(int PixelSize = 11, bool Bold = false);
