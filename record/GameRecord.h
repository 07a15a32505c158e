// A game as the record keeps it: the position it started from and the moves made since, each with its
// SAN text, and the ply the game stands at. Take-back and replay move the current ply; a move made from an
// earlier ply replaces the moves after it, as on the board. The moves are checked and carried out by the
// board's own rules (a ChessGame of the record's), so the record accepts exactly what the board accepts.
#pragma once

#include "ChessTypes.h"
#include "Fen.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ChessGame;

struct RecordedMove {
    Square From = None;
    Square To = None;
    char Promotion = 0;    // 'Q', 'R', 'B' or 'N' for a pawn reaching the last rank, else 0
    std::string San;       // with "+" or "#"
    int HalfmoveClock = 0; // after the move
};

// What a SAN text names in the current position.
struct SanMatch {
    enum class Status {
        Found,
        NotSan,     // not written as a move at all
        NoSuchMove, // no legal move fits
        Ambiguous,  // several legal moves fit
        GameOver    // the position is a threefold repetition: the rules allow no further move
    };
    Status Result = Status::NotSan;
    Square From = None;
    Square To = None;
    char Promotion = 0;
};

class GameRecord {
public:
    // Start must be playable (IsPlayableSetup); the windows and the reader check it first.
    explicit GameRecord(const GameSetup& Start = StandardSetup());
    ~GameRecord();
    GameRecord(GameRecord&&) noexcept;
    GameRecord& operator=(GameRecord&&) noexcept;

    const GameSetup& Start() const { return FStart; }
    const std::vector<RecordedMove>& Moves() const { return FMoves; }
    std::size_t Ply() const { return FPly; }

    // Plays From-To after the current ply, dropping any moves recorded after it; Promotion ('Q' when 0)
    // is the piece a pawn that reaches the last rank becomes. False, with nothing changed, when the move
    // is not legal.
    bool Play(Square From, Square To, char Promotion = 0);
    // Finds the move a SAN text names in the current position. Lenient as readers of real files must be:
    // "0-0" for "O-O", a promotion with or without "=", a needless or missing capture mark, a long form
    // such as "Ng1f3" or "e2-e4", and trailing "+", "#", "!" and "?" marks.
    SanMatch Find(std::string_view San) const;
    // Moves the current ply within 0..Moves().size().
    bool GoTo(std::size_t Ply);

    // The state at the current ply, with its counters, and as FEN.
    GameSetup Current() const;
    std::string Fen() const;
    // "1-0", "0-1", "1/2-1/2" for mate, stalemate and threefold repetition at the current ply, else "*".
    std::string Result() const;

    // The full-move number and side of the move played at Ply (0 is the first move of the record).
    int MoveNumberAt(std::size_t Ply) const;
    bool WhiteMovesAt(std::size_t Ply) const;
    // "12. Nf3" or "12... Nf6": how messages name the move at Ply, with Text as written.
    std::string NameMove(std::size_t Ply, std::string_view Text) const;

    // The SAN of From-To in the current position, without playing it; empty when the move is not legal.
    std::string SanOf(Square From, Square To, char Promotion = 0) const;

    // The record of a board's game: the moves in the board's history from the entry (StartMove,
    // StartWhite), where the game began, to its newest entry, with the current ply where the board
    // stands. The start position is read from that first entry (or from the board itself while the game
    // has no moves); Counters gives the start's half-move clock and full-move number.
    static GameRecord FromHistory(const ChessGame& Board, int StartMove, bool StartWhite,
                                  const GameSetup& Counters);

private:
    // Board history pair of a ply: the record's own game starts at move 1.
    int BoardMove(std::size_t Ply) const;
    bool SetUpScratch(ChessGame& Game) const;

    GameSetup FStart;
    std::vector<RecordedMove> FMoves;
    std::size_t FPly = 0;
    // The game on which the moves are played, standing at the current ply.
    std::unique_ptr<ChessGame> FGame;
};
