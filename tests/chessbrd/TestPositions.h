// Positions and play helpers shared by the game model tests.
#pragma once

#include "ChessGame.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using Move = std::pair<Square, Square>;

// The 64 board letters (A8 first) of a placement field such as "rnbqkbnr/pppppppp/8/...".
std::string BoardFromPlacement(std::string_view Placement);

// Resets Game and loads "placement side castling en-passant" (move counters may follow and are ignored).
void LoadPosition(ChessGame& Game, std::string_view Fen);

// Every pair that IsLegalMove accepts, in square order.
std::vector<Move> LegalMoves(const ChessGame& Game);

// The plain question over all 4096 pairs: does any of them pass IsLegalMove?
bool AnyLegalPair(const ChessGame& Game);

// Plays up to Plies seeded random legal moves, calling Visit on each position before its move;
// returns the number of moves played.
int RandomPlayout(ChessGame& Game, std::uint32_t Seed, int Plies,
                  const std::function<void(ChessGame&)>& Visit = {});

// Leaves of the legal move tree, each promotion counted once per piece, walked with PerformMove and
// GotoMove.
std::uint64_t Perft(ChessGame& Game, int Depth);
