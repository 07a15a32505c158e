// The four castlings in one table shared by the rules, the move routine and the engine: where king and
// rook stand and go, which squares must be empty and which the king must cross unattacked, and which
// rights a move takes away by the squares it touches.
#pragma once

#include "ChessTypes.h"

#include <array>
#include <span>

struct CastlingMove {
    CanStillCastle Right;
    bool White;
    char King, Rook; // the letters on the board
    Square KingFrom, KingTo;
    Square RookFrom, RookTo;
    std::array<Square, 3> Between;  // must be empty; None pads the king side
    std::array<Square, 2> KingPath; // the squares the king crosses and lands on; its start must be safe too
};

// In the order of CanStillCastle, which is also the order in which the engine generates them.
inline constexpr std::array<CastlingMove, 4> CastlingMoves = {{
    {WhiteKingSide, true, 'K', 'R', E1, G1, H1, F1, {F1, G1, None}, {F1, G1}},
    {WhiteQueenSide, true, 'K', 'R', E1, C1, A1, D1, {B1, C1, D1}, {D1, C1}},
    {BlackKingSide, false, 'k', 'r', E8, G8, H8, F8, {F8, G8, None}, {F8, G8}},
    {BlackQueenSide, false, 'k', 'r', E8, C8, A8, D8, {B8, C8, D8}, {D8, C8}},
}};

// The two castlings of one side, king side first.
constexpr std::span<const CastlingMove, 2> CastlingsOf(bool White) {
    return std::span<const CastlingMove, 2>(CastlingMoves.data() + (White ? 0 : 2), 2);
}

// The castling whose king goes to To, or nullptr.
constexpr const CastlingMove* CastlingByKingTarget(Square To) {
    for (const CastlingMove& castling : CastlingMoves)
        if (castling.KingTo == To) return &castling;
    return nullptr;
}

// The rights a move loses by starting or ending on S: a king's home square takes both rights of its side, a
// rook's home corner that corner's right. Whatever arrives on such a square, the piece that belonged there
// has left or been taken, and a king or rook that comes back later is not the unmoved one.
constexpr CastleSet RightsLostAt(Square S) {
    CastleSet lost;
    for (const CastlingMove& castling : CastlingMoves)
        if (S == castling.KingFrom || S == castling.RookFrom) lost.Include(castling.Right);
    return lost;
}
