// Reading and writing positions in Forsyth-Edwards notation (FEN): the one reader and writer that the
// windows, the engine front end and the tests share.
#pragma once

#include "ChessTypes.h"

#include <string>
#include <string_view>

inline constexpr std::string_view StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// Parses the four position fields (placement, side, castling, en passant) and the optional two counters.
// On failure returns false, leaves Position unchanged and describes the first fault in Error. The layout
// is checked, not the chess: missing kings or rights without their pieces are the engine's business.
bool ParseFen(std::string_view Text, EnginePosition& Position, std::string& Error);

// The position as FEN with the counters written as "0 1" (the engine position does not keep them).
std::string FormatFen(const EnginePosition& Position);

// A position with the two counters FEN carries: the half-moves since the last capture or pawn move, and
// the number of the move in which the side to move plays.
struct GameSetup {
    EnginePosition Position;
    int HalfmoveClock = 0;
    int FullmoveNumber = 1;
    friend bool operator==(const GameSetup&, const GameSetup&) = default;
};

// The initial position, white to move, all rights, move 1.
GameSetup StandardSetup();

// As ParseFen, and the counters (0 and 1 when absent). A full-move number of 0 reads as 1, as some writers
// emit it.
bool ParseFen(std::string_view Text, GameSetup& Setup, std::string& Error);
std::string FormatFen(const GameSetup& Setup);

// Whether the rules can play the position as given: one king each, no pawn on the edge ranks, the side not
// to move not in check (ChessGame::CheckPosition), and an en-passant square that a pawn of the side that has
// just moved can really have passed over: empty, with that pawn in front of it and its starting square
// empty behind it. A stray en-passant square would let a pawn "take" whatever stands in front of it.
bool IsPlayableSetup(const GameSetup& Setup, std::string& Error);
