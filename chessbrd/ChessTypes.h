// Types shared by the board model, the engine, the engine thread and the board view.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

// One of the 64 squares, rank 8 first (A8 = 1 .. H8 = 8, A7 = 9 .. H1 = 64), or None.
// clang-format off
enum Square : std::uint8_t {
    None = 0,
    A8 = 1, B8, C8, D8, E8, F8, G8, H8,
    A7, B7, C7, D7, E7, F7, G7, H7,
    A6, B6, C6, D6, E6, F6, G6, H6,
    A5, B5, C5, D5, E5, F5, G5, H5,
    A4, B4, C4, D4, E4, F4, G4, H4,
    A3, B3, C3, D3, E3, F3, G3, H3,
    A2, B2, C2, D2, E2, F2, G2, H2,
    A1, B1, C1, D1, E1, F1, G1, H1,
};
// clang-format on

// The engine numbers the same squares 0..63 in the same order (a8 = 0, h1 = 63); None has no engine square.
constexpr int ToEngineSquare(Square S) {
    return static_cast<int>(S) - 1;
}
constexpr Square FromEngineSquare(int Sq) {
    return Sq >= 0 && Sq < 64 ? static_cast<Square>(Sq + 1) : None;
}

enum CanStillCastle : std::uint8_t {
    WhiteKingSide = 0,
    WhiteQueenSide = 1,
    BlackKingSide = 2,
    BlackQueenSide = 3
};

// A set of castling rights, bit n = CanStillCastle n.
struct CastleSet {
    std::uint8_t Bits = 0;

    constexpr bool Contains(CanStillCastle c) const { return (Bits >> c) & 1u; }
    constexpr void Include(CanStillCastle c) { Bits = static_cast<std::uint8_t>(Bits | (1u << c)); }
    constexpr void Exclude(CanStillCastle c) { Bits = static_cast<std::uint8_t>(Bits & ~(1u << c)); }
    constexpr CastleSet Without(CastleSet Other) const {
        return CastleSet{static_cast<std::uint8_t>(Bits & ~Other.Bits)};
    }
    static constexpr CastleSet All() { return CastleSet{0x0F}; }
    friend constexpr bool operator==(CastleSet, CastleSet) = default;
};

// One history entry: the position with its rights and the move played from it.
struct MoveInfo {
    std::string Position;
    CastleSet Castling;
    Square OldSq = None;
    Square NewSq = None;
    Square EnPassant = None;
};

// Edges of the board that show coordinates.
enum CoordSide : std::uint8_t { West = 0, North = 1, East = 2, South = 3 };
struct CoordSet {
    std::uint8_t Bits = 0;

    constexpr bool Contains(CoordSide s) const { return (Bits >> s) & 1u; }
    constexpr void Include(CoordSide s) { Bits = static_cast<std::uint8_t>(Bits | (1u << s)); }
    static constexpr CoordSet All() { return CoordSet{0x0F}; }
    friend constexpr bool operator==(CoordSet, CoordSet) = default;
};

enum TThreadPriority : std::uint8_t {
    tpIdle,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical
};

// The plies the engine searches: the board's SearchDepth is kept inside these bounds.
inline constexpr int MinSearchDepth = 1;
inline constexpr int MaxSearchDepth = 8;

// The position the engine searches: a copy taken while the board cannot change.
struct EnginePosition {
    std::array<char, 64> Board{}; // letters of squares A8 .. H1
    bool WhiteToMove = true;
    CastleSet Castling;
    Square EnPassant = None;
    int SearchDepth = 1;
    friend bool operator==(const EnginePosition&, const EnginePosition&) = default;
};

// Case folding of the board's letters and square names, independent of the user's locale.
constexpr char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}
constexpr char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

class ChessGame;

// Event handlers receive the board first; an empty std::function is an unassigned event.
using TNotifyEvent = std::function<void(ChessGame* Sender)>;
using TMoveEvent = std::function<void(ChessGame* Sender, Square oldSq, Square newSq)>;
using TCaptureEvent = std::function<void(ChessGame* Sender, Square oldSq, Square newSq, char CapturedPiece)>;
using TPromotionEvent = std::function<void(ChessGame* Sender, Square oldSq, Square newSq, char& NewPiece)>;
using TOneSquareEvent = std::function<void(ChessGame* Sender, Square square)>;
using TThinkEvent = std::function<void(ChessGame* Sender, Square& oldsq, Square& newsq)>;
