// The saved-game file (.pos): an INI file whose section "Gambitron Position" holds the board, the side to
// move, the play settings and the last move. It keeps no history, no castling rights and no en-passant
// square. The window shows the messages; this is the mapping between the board and the file.
#pragma once
#include "ChessTypes.h"
#include <QByteArray>
#include <QString>

class IniFile;
class TChessBrd;

class SavedGame {
public:
    static const QByteArray Section;
    // What the reader gets for a file without "GameVersion": such a file is refused as damaged.
    static const QByteArray NoVersion;
    static const QByteArray NoLastMove; // "@9-@9"

    // "E2-E4"; "@9-@9" when there is no last move.
    static QByteArray LastMoveText(Square From, Square To);
    // Both squares of a stored last move, or false (and None, None) when it names no two squares.
    static bool ParseLastMove(const QByteArray& Text, Square& From, Square& To);

    // Writes the eight keys, in their order, and then the file in one piece; an existing file keeps its
    // other lines. False, with the file on disk unchanged, when it cannot be read or written.
    static bool Save(const QString& FileName, const TChessBrd& Board, Square LastFrom, Square LastTo,
                     const QString& GameVersion);

    // Whether the position and side to move the file would give the board can be played; a file that
    // holds an impossible position (no kings, pawns on the edge ranks) is as damaged as one without a
    // version.
    static bool IsPlayable(const IniFile& File, const TChessBrd& Board);

    // Applies the six settings through the board's setters, in the order they must reach the board; a
    // missing or unreadable value keeps the board's current one.
    static void ApplySettings(const IniFile& File, TChessBrd& Board);
};
