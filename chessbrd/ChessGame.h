// The game half of the board: position, rights, move history, the rules of chess, making moves and
// raising the game events. Plain C++ so that the rules can be tested and measured without a window or a
// thread; TChessBrd derives from it and fills in the view and engine hooks.
#pragma once

#include "ChessTypes.h"

#include <string>
#include <string_view>
#include <vector>

class ChessGame {
public:
    ChessGame();
    virtual ~ChessGame() = default;
    ChessGame(const ChessGame&) = delete;
    ChessGame& operator=(const ChessGame&) = delete;

    // Position and state
    std::string GetPosition() const;
    void SetPosition(std::string_view Value);
    bool GetWhiteToMove() const { return FWhiteToMove; }
    void SetWhiteToMove(bool Value);
    int GetCurrentMove() const { return FCurrentMove; }
    void SetCurrentMove(int Value);
    Square GetEnPassant() const { return FEnPassant; }
    void SetEnPassant(Square Value);
    CastleSet GetCastlingAllowed() const { return FCastlingAllowed; }
    void SetCastlingAllowed(CastleSet Value) { FCastlingAllowed = Value; }
    char GetPromotionPiece() const { return FPromotionPiece; }

    // What keeps a position from being played: the rules need one king of each colour, no pawn on the
    // first or last rank, and the side not to move out of check. Every position that comes from outside
    // (a saved game, FEN, PGN) passes this before it reaches the board.
    enum class PositionFault { None, KingCount, PawnOnEdgeRank, OpponentInCheck };
    // Position is read as SetPosition reads it.
    static PositionFault CheckPosition(std::string_view Position, bool WhiteToMove);
    PositionFault CheckPosition() const;

    void NewGame();
    void ResetGame();
    // Starts a game from Position as NewGame starts one from the initial position: move 1 with the given
    // side to move, its rights and en-passant square, and a history that begins with this position (the
    // entries of an earlier game are dropped, so none of them can count towards a repetition).
    void NewGameFrom(const EnginePosition& Position);

    static int FileOf(Square S);
    static int RankOf(Square S);
    static Square SquareOf(int File, int Rank);
    static Square SquareFromName(std::string_view Name);
    static bool IsLightSquare(Square S);
    int PieceColor(Square S) const;
    // A value past H1 is no square: read as empty rather than past the board.
    char PieceAt(Square S) const { return S <= 64 ? FBoard[S] : ' '; }

    // Rules
    bool IsLegalMove(Square FromSq, Square ToSq) const;
    bool HasLegalMove() const;
    bool IsThreefoldRepetition() const;
    bool WhiteKingAttacked(Square FromSq, Square ToSq) const;
    bool BlackKingAttacked(Square FromSq, Square ToSq) const;
    bool PawnMoveValid(Square FromSq, Square ToSq) const;
    bool KnightMoveValid(Square FromSq, Square ToSq) const;
    bool BishopMoveValid(Square FromSq, Square ToSq) const;
    bool RookMoveValid(Square FromSq, Square ToSq) const;
    bool QueenMoveValid(Square FromSq, Square ToSq) const;
    bool KingMoveValid(Square FromSq, Square ToSq) const;

    // Moves and history
    bool MakeMove(Square FromSq, Square ToSq);
    bool PerformMove(Square FromSq, Square ToSq);
    bool GotoMove(int MoveNumber, bool WhiteToMove);
    // Whether the legal move FromSq-ToSq changes the letter on S: its own two squares, a pawn it takes en
    // passant, the rook of a castling.
    bool MoveChanges(Square FromSq, Square ToSq, Square S) const;
    // Whether an entry lies outside the recorded history, where GotoMove refuses to go.
    bool OutsideRecordedSpan(int MoveNumber, bool WhiteToMove) const;
    void GetMoveInfo(int MoveNumber, bool WhiteToMove, MoveInfo& Info) const;
    int FirstMove() const { return FFirstMove; }
    bool FirstWhite() const { return FFirstWhite; }
    int LastMove() const { return FLastMove; }
    bool LastWhite() const { return FLastWhite; }
    bool GameOver() const { return FGameOver; }
    bool Halted() const { return FHalted; }
    // True while a move is being carried out: inside MakeMove or PerformMove, their events and the slide.
    // Handlers that process window messages may run then; hosts hold work that would change the game
    // (a received move, a new game) until this is false again.
    bool MoveInProgress() const { return FMovesInProgress > 0; }

    // The position as the engine reads it.
    EnginePosition Snapshot(int SearchDepth) const;

    // Events, in stored order; an empty handler is skipped.
    TMoveEvent OnLegalMove;
    TMoveEvent OnCheck;
    TMoveEvent OnMate;
    TMoveEvent OnStaleMate;
    TMoveEvent OnCastle;
    TMoveEvent OnCalculationFailed;
    TNotifyEvent OnPaint;
    TNotifyEvent OnDraw;
    TNotifyEvent OnNoMatingMaterial;
    TNotifyEvent OnThreefoldPosition;
    TThinkEvent OnCalculateMove;
    TCaptureEvent OnCapture;
    TOneSquareEvent OnIllegalMove;
    TPromotionEvent OnPromotion;

    // Engine steering; without an engine thread only the halt flag changes.
    virtual void StopThinking();
    virtual void StartThinking() {}

    // View operations used while a move is carried out; the board view draws, the bare model does not.
    virtual void Paint() {}
    virtual void DrawSquare(Square) {}
    virtual void DrawPiece(Square, char) {}
    virtual void DrawBoardLines() {}
    // Told of a legal move before anything of it is recorded or drawn. True when it ran host handlers, which
    // may have changed the game.
    virtual bool MoveStarting(Square, Square) { return false; }
    // Whether the view slides this move across the board, and the slide itself.
    virtual bool ShouldSlide(Square, Square) const { return false; }
    virtual void SlideMove(Square, Square) {}

protected:
    // Marks a move in progress for as long as it lives; moves may nest (a handler's MakeMove).
    class MoveScope {
    public:
        explicit MoveScope(ChessGame& Game) : FGame(Game) { ++FGame.FMovesInProgress; }
        ~MoveScope() {
            if (--FGame.FMovesInProgress == 0) FGame.MovesCompleted();
        }
        MoveScope(const MoveScope&) = delete;
        MoveScope& operator=(const MoveScope&) = delete;

    private:
        ChessGame& FGame;
    };

    // Called when the outermost move in progress has completed.
    virtual void MovesCompleted() {}
    // Called at the end of every executed move, before the final OnPaint, with what the move did.
    virtual void MovePlayed(Square /*FromSq*/, Square /*ToSq*/, bool /*Capture*/, bool /*Check*/,
                            bool /*Mate*/) {}

    void PromotePawn(Square Sq);
    void RedrawChangedSquares(const std::string& OldPosition);

    // Board letters: 1..64 the squares, 0 a filler read as empty, 65 the terminator.
    char FBoard[66] = {};
    bool FWhiteToMove = true;
    int FCurrentMove = 1;
    Square FEnPassant = None;
    CastleSet FCastlingAllowed;
    char FPromotionPiece = 'q';
    bool FHalted = false;
    bool FGameOver = false;
    int FMovesInProgress = 0;

    int FFirstMove = 1;
    bool FFirstWhite = true;
    int FLastMove = 1;
    bool FLastWhite = true;

private:
    struct HistoryEntry {
        std::array<char, 64> Position{};
        bool HasPosition = false;
        CastleSet Castling;
        Square OldSq = None;
        Square NewSq = None;
        Square EnPassant = None;
    };
    // Entry (m, side) lives at (m - 1) * 2 + side and the vector grows with the game.
    std::vector<HistoryEntry> FHistory;

    // Entry (m, side) or nullptr when it lies outside the vector; writing grows the vector as needed.
    const HistoryEntry* EntryAt(int MoveNumber, bool WhiteToMove) const;
    HistoryEntry& WritableEntry(int MoveNumber, bool WhiteToMove);

    // Legality without the repetition refusal, and the reply test built on it.
    bool LegalIgnoringRepetition(Square FromSq, Square ToSq) const;
    bool HasReply() const;
    bool HasLegalDestination(Square FromSq) const;
    // The pawn an en-passant capture from FromSq to ToSq removes, or None.
    Square EnPassantVictim(Square FromSq, Square ToSq) const;
    // Whether a king is attacked once FromSq's letter stands on ToSq and Removed (if any) is empty.
    bool KingAttackedAfter(bool WhiteKing, Square FromSq, Square ToSq, Square Removed) const;
    bool SlideReaches(Square FromSq, Square ToSq, bool Diagonal) const;
    bool CastlingValid(Square FromSq, Square ToSq) const;
    void CopyInitialPosition();
    // The 64 letters of Value as SetPosition stores them, with the filler and the terminator.
    static void ReadPosition(std::string_view Value, char (&Board)[66]);
};
