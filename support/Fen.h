// Reading and writing positions in Forsyth-Edwards notation (FEN) for the engine front end and the tests.
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
