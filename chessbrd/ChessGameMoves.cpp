// ChessGame: starting a game, carrying out moves with their events, and moving through the history.
#include "ChessGame.h"

#include "Castling.h"

#include <cstring>

namespace {

template <class Handler, class... Args> void Raise(const Handler& handler, Args&&... args) {
    if (handler) handler(std::forward<Args>(args)...);
}

long HistoryIndex(int MoveNumber, bool WhiteToMove) {
    return (static_cast<long>(MoveNumber) - 1) * 2 + (WhiteToMove ? 0 : 1);
}

int MaterialOf(char c) {
    switch (c) {
    case 'B':
    case 'b':
        return 3;
    case 'N':
    case 'n':
        return 2;
    case 'P':
    case 'p':
    case 'R':
    case 'r':
    case 'Q':
    case 'q':
        return 5;
    default:
        return 0;
    }
}

} // namespace

void ChessGame::StopThinking() {
    FHalted = true;
}

void ChessGame::ResetGame() {
    StopThinking();
    CopyInitialPosition();
    FWhiteToMove = true;
    FCurrentMove = 1;
    FFirstMove = 1;
    FFirstWhite = true;
    FLastMove = 1;
    FLastWhite = true;
    FEnPassant = None;
    FCastlingAllowed = CastleSet::All();
}

void ChessGame::NewGame() {
    ResetGame();
    Paint();
}

void ChessGame::NewGameFrom(const EnginePosition& Position) {
    ResetGame();
    FHistory.clear();
    ReadPosition(std::string_view(Position.Board.data(), Position.Board.size()), FBoard);
    FWhiteToMove = FFirstWhite = FLastWhite = Position.WhiteToMove;
    FCastlingAllowed = Position.Castling;
    FEnPassant = Position.EnPassant;
    Paint();
}

const ChessGame::HistoryEntry* ChessGame::EntryAt(int MoveNumber, bool WhiteToMove) const {
    const long index = HistoryIndex(MoveNumber, WhiteToMove);
    if (index < 0 || index >= static_cast<long>(FHistory.size())) return nullptr;
    return &FHistory[static_cast<std::size_t>(index)];
}

ChessGame::HistoryEntry& ChessGame::WritableEntry(int MoveNumber, bool WhiteToMove) {
    // The move number never drops below 1: the reset starts at 1 and GotoMove keeps inside the span.
    const auto index = static_cast<std::size_t>(HistoryIndex(MoveNumber, WhiteToMove));
    if (index >= FHistory.size()) FHistory.resize(index + 1);
    return FHistory[index];
}

bool ChessGame::OutsideRecordedSpan(int MoveNumber, bool WhiteToMove) const {
    const bool afterNewest =
        MoveNumber > FLastMove || (MoveNumber == FLastMove && FLastWhite && !WhiteToMove);
    const bool beforeFirst =
        MoveNumber < FFirstMove || (MoveNumber == FFirstMove && !FFirstWhite && WhiteToMove);
    return afterNewest || beforeFirst;
}

bool ChessGame::MakeMove(Square FromSq, Square ToSq) {
    // The whole call counts: the stop may process window messages before the move is played.
    const MoveScope scope(*this);
    StopThinking();
    const bool result = PerformMove(FromSq, ToSq);
    FHalted = false;
    StartThinking();
    return result;
}

bool ChessGame::PerformMove(Square FromSq, Square ToSq) {
    const MoveScope scope(*this);
    FGameOver = false;
    if (!IsLegalMove(FromSq, ToSq)) return false;
    // Handlers the view runs here (a drag it cancels) may have changed the game.
    if (MoveStarting(FromSq, ToSq) && !IsLegalMove(FromSq, ToSq)) return false;
    bool drawMark = false;

    {
        HistoryEntry& before = WritableEntry(FCurrentMove, FWhiteToMove);
        std::memcpy(before.Position.data(), FBoard + 1, 64);
        before.HasPosition = true;
        before.Castling = FCastlingAllowed;
        before.EnPassant = FEnPassant;
        before.OldSq = FromSq;
        before.NewSq = ToSq;
    }

    DrawSquare(FromSq);
    if (ShouldSlide(FromSq, ToSq)) {
        DrawBoardLines();
        SlideMove(FromSq, ToSq);
    }

    const char captured = FBoard[ToSq];
    FBoard[ToSq] = FBoard[FromSq];
    FBoard[FromSq] = ' ';
    DrawSquare(ToSq);
    DrawPiece(ToSq, FBoard[ToSq]);
    DrawBoardLines();

    if (!FWhiteToMove) ++FCurrentMove;
    FWhiteToMove = !FWhiteToMove;
    FLastMove = FCurrentMove;
    FLastWhite = FWhiteToMove;

    Raise(OnLegalMove, this, FromSq, ToSq);
    if (captured != ' ') Raise(OnCapture, this, FromSq, ToSq, captured);

    if ((FBoard[ToSq] == 'P' || FBoard[ToSq] == 'p') && (RankOf(ToSq) == 8 || RankOf(ToSq) == 1)) {
        Raise(OnPromotion, this, FromSq, ToSq, FPromotionPiece);
        PromotePawn(ToSq);
    }

    // The pawn now stands on ToSq, and FEnPassant still holds the square from before the move.
    const Square victim = EnPassantVictim(ToSq, ToSq);
    if (victim != None) {
        Raise(OnCapture, this, FromSq, ToSq, FBoard[victim]);
        FBoard[victim] = ' ';
        DrawSquare(victim);
        DrawBoardLines();
    }

    if (FBoard[ToSq] == 'P' && RankOf(FromSq) == 2 && RankOf(ToSq) == 4)
        FEnPassant = static_cast<Square>((FromSq + ToSq) / 2);
    else if (FBoard[ToSq] == 'p' && RankOf(FromSq) == 7 && RankOf(ToSq) == 5)
        FEnPassant = static_cast<Square>((FromSq + ToSq) / 2);
    else
        FEnPassant = None;

    if (const CastlingMove* castling = CastlingByKingTarget(ToSq);
        castling != nullptr && FromSq == castling->KingFrom && FBoard[ToSq] == castling->King) {
        FBoard[castling->RookTo] = castling->Rook;
        FBoard[castling->RookFrom] = ' ';
        DrawSquare(castling->RookFrom);
        DrawPiece(castling->RookTo, castling->Rook);
        DrawBoardLines();
        Raise(OnCastle, this, FromSq, ToSq);
    }

    FCastlingAllowed = FCastlingAllowed.Without(RightsLostAt(FromSq)).Without(RightsLostAt(ToSq));

    const bool check = WhiteKingAttacked(FromSq, FromSq) || BlackKingAttacked(FromSq, FromSq);
    // Movement and king rules only: a repetition is judged below, once the new entry is written.
    const bool reply = HasReply();
    if (check) {
        Raise(OnCheck, this, FromSq, ToSq);
        if (!reply && OnMate) {
            FGameOver = true;
            OnMate(this, FromSq, ToSq);
        }
    } else if (!reply) {
        Raise(OnStaleMate, this, FromSq, ToSq);
        drawMark = true;
    }

    int whiteMaterial = 0, blackMaterial = 0;
    for (int s = 1; s <= 64; ++s) {
        const int colour = PieceColor(static_cast<Square>(s));
        if (colour == 1) whiteMaterial += MaterialOf(FBoard[s]);
        if (colour == 0) blackMaterial += MaterialOf(FBoard[s]);
    }
    if (whiteMaterial < 5 && blackMaterial < 5) {
        Raise(OnNoMatingMaterial, this);
        drawMark = true;
    }

    {
        HistoryEntry& after = WritableEntry(FCurrentMove, FWhiteToMove);
        std::memcpy(after.Position.data(), FBoard + 1, 64);
        after.HasPosition = true;
        after.Castling = FCastlingAllowed;
        after.EnPassant = FEnPassant;
        FLastMove = FCurrentMove;
        FLastWhite = FWhiteToMove;
    }

    if (IsThreefoldRepetition()) {
        Raise(OnThreefoldPosition, this);
        drawMark = true;
    }
    if (drawMark && OnDraw) {
        FGameOver = true;
        OnDraw(this);
    }
    MovePlayed(FromSq, ToSq, captured != ' ' || victim != None, check, check && !reply);
    Raise(OnPaint, this);
    return true;
}

bool ChessGame::MoveChanges(Square FromSq, Square ToSq, Square S) const {
    if (S == None) return false;
    if (S == FromSq || S == ToSq || S == EnPassantVictim(FromSq, ToSq)) return true;
    const CastlingMove* castling = CastlingByKingTarget(ToSq);
    return castling != nullptr && FromSq == castling->KingFrom && FBoard[FromSq] == castling->King &&
           (S == castling->RookFrom || S == castling->RookTo);
}

void ChessGame::PromotePawn(Square Sq) {
    const char upper = AsciiUpper(FPromotionPiece);
    const char letter = RankOf(Sq) == 8 ? upper : static_cast<char>(upper + 32);
    // Any letter is taken, but a zero would end the board string at this square; a space reads the same.
    FBoard[Sq] = letter == '\0' ? ' ' : letter;
    DrawSquare(Sq);
    DrawPiece(Sq, FBoard[Sq]);
    DrawBoardLines();
}

void ChessGame::RedrawChangedSquares(const std::string& OldPosition) {
    for (int s = 1; s <= 64; ++s) {
        const auto i = static_cast<std::size_t>(s - 1);
        if (i < OldPosition.size() && OldPosition[i] == FBoard[s]) continue;
        const auto sq = static_cast<Square>(s);
        DrawSquare(sq);
        if (PieceColor(sq) != -1) DrawPiece(sq, FBoard[s]);
    }
    DrawBoardLines();
}

bool ChessGame::GotoMove(int MoveNumber, bool WhiteToMove) {
    StopThinking();
    if (OutsideRecordedSpan(MoveNumber, WhiteToMove)) return false;
    FCurrentMove = MoveNumber;
    FWhiteToMove = WhiteToMove;
    const std::string oldPosition = GetPosition();
    // An entry that never received a position (play began with black to move) leaves the board as it is.
    if (const HistoryEntry* entry = EntryAt(MoveNumber, WhiteToMove);
        entry != nullptr && entry->HasPosition) {
        std::memcpy(FBoard + 1, entry->Position.data(), 64);
        FBoard[65] = '\0';
        FEnPassant = entry->EnPassant;
        FCastlingAllowed = entry->Castling;
    }
    RedrawChangedSquares(oldPosition);
    return true;
}

void ChessGame::GetMoveInfo(int MoveNumber, bool WhiteToMove, MoveInfo& Info) const {
    if (OutsideRecordedSpan(MoveNumber, WhiteToMove)) {
        Info = MoveInfo{"init", CastleSet{}, None, None, None};
        return;
    }
    const HistoryEntry* entry = EntryAt(MoveNumber, WhiteToMove);
    if (entry == nullptr) {
        Info = MoveInfo{};
        return;
    }
    Info.Position = entry->HasPosition ? std::string(entry->Position.data(), 64) : std::string();
    Info.Castling = entry->Castling;
    Info.OldSq = entry->OldSq;
    Info.NewSq = entry->NewSq;
    Info.EnPassant = entry->EnPassant;
}

EnginePosition ChessGame::Snapshot(int SearchDepth) const {
    EnginePosition position;
    std::memcpy(position.Board.data(), FBoard + 1, 64);
    position.WhiteToMove = FWhiteToMove;
    position.Castling = FCastlingAllowed;
    position.EnPassant = FEnPassant;
    position.SearchDepth = SearchDepth;
    return position;
}
