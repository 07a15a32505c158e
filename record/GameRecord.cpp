// GameRecord: playing, naming (SAN) and finding moves on the record's own game, and rebuilding a board's
// game from its history.
#include "GameRecord.h"

#include "Castling.h"
#include "ChessGame.h"

#include <cstring>
#include <string_view>

namespace {

long Order(int Move, bool White) {
    return static_cast<long>(Move) * 2 + (White ? 0 : 1);
}

// Whether c is one of Set; never true for the zero byte, which strchr would find at the end of any set.
bool OneOf(std::string_view Set, char c) {
    return Set.find(c) != std::string_view::npos;
}

bool IsPawn(char c) {
    return c == 'P' || c == 'p';
}

bool ReachesLastRank(Square To) {
    const int rank = ChessGame::RankOf(To);
    return rank == 8 || rank == 1;
}

std::string SquareName(Square S) {
    return {static_cast<char>('a' + ChessGame::FileOf(S) - 1), static_cast<char>('0' + ChessGame::RankOf(S))};
}

// Watches one PerformMove: what it took, and whether it gave check or mate. The promotion piece is handed
// to the board through its promotion event, as a host would choose it.
struct MoveWatch {
    explicit MoveWatch(ChessGame& Game, char Promotion) : FGame(Game) {
        Game.OnCheck = [this](ChessGame*, Square, Square) { Check = true; };
        Game.OnMate = [this](ChessGame*, Square, Square) { Mate = true; };
        Game.OnCapture = [this](ChessGame*, Square, Square, char) { Capture = true; };
        Game.OnPromotion = [Promotion](ChessGame*, Square, Square, char& NewPiece) {
            NewPiece = AsciiLower(Promotion);
        };
    }
    ~MoveWatch() {
        FGame.OnCheck = nullptr;
        FGame.OnMate = nullptr;
        FGame.OnCapture = nullptr;
        FGame.OnPromotion = nullptr;
    }
    MoveWatch(const MoveWatch&) = delete;
    MoveWatch& operator=(const MoveWatch&) = delete;

    std::string Suffix() const { return Mate ? "#" : Check ? "+" : ""; }

    bool Check = false;
    bool Mate = false;
    bool Capture = false;

private:
    ChessGame& FGame;
};

// The SAN of From-To in Game's position, without the check mark; the move must be legal.
std::string SanBase(const ChessGame& Game, Square From, Square To, char Promotion) {
    const char letter = Game.PieceAt(From);
    const char piece = AsciiUpper(letter);
    if (const CastlingMove* castling = CastlingByKingTarget(To);
        castling != nullptr && From == castling->KingFrom && letter == castling->King)
        return castling->Right == WhiteKingSide || castling->Right == BlackKingSide ? "O-O" : "O-O-O";
    const bool capture = Game.PieceColor(To) != -1 || (IsPawn(letter) && To == Game.GetEnPassant());
    std::string text;
    if (piece == 'P') {
        if (ChessGame::FileOf(From) != ChessGame::FileOf(To)) {
            text += SquareName(From)[0];
            text += 'x';
        }
        text += SquareName(To);
        if (ReachesLastRank(To)) {
            text += '=';
            text += AsciiUpper(Promotion == 0 ? 'Q' : Promotion);
        }
        return text;
    }
    text += piece;
    // Another piece of the same kind that could go there too: name the file, else the rank, else both.
    bool other = false, sameFile = false, sameRank = false;
    for (int s = 1; s <= 64; ++s) {
        const auto sq = static_cast<Square>(s);
        if (sq == From || Game.PieceAt(sq) != letter || !Game.IsLegalMove(sq, To)) continue;
        other = true;
        sameFile = sameFile || ChessGame::FileOf(sq) == ChessGame::FileOf(From);
        sameRank = sameRank || ChessGame::RankOf(sq) == ChessGame::RankOf(From);
    }
    if (other) {
        const std::string from = SquareName(From);
        if (!sameFile)
            text += from[0];
        else if (!sameRank)
            text += from[1];
        else
            text += from;
    }
    if (capture) text += 'x';
    text += SquareName(To);
    return text;
}

} // namespace

GameRecord::GameRecord(const GameSetup& Start) : FStart(Start), FGame(std::make_unique<ChessGame>()) {
    FGame->NewGameFrom(Start.Position);
}

GameRecord::~GameRecord() = default;
GameRecord::GameRecord(GameRecord&&) noexcept = default;
GameRecord& GameRecord::operator=(GameRecord&&) noexcept = default;

int GameRecord::BoardMove(std::size_t Ply) const {
    return 1 + static_cast<int>(((FStart.Position.WhiteToMove ? 0 : 1) + Ply) / 2);
}

int GameRecord::MoveNumberAt(std::size_t Ply) const {
    return FStart.FullmoveNumber + BoardMove(Ply) - 1;
}

bool GameRecord::WhiteMovesAt(std::size_t Ply) const {
    return ((FStart.Position.WhiteToMove ? 0 : 1) + Ply) % 2 == 0;
}

std::string GameRecord::NameMove(std::size_t Ply, std::string_view Text) const {
    return std::to_string(MoveNumberAt(Ply)) + (WhiteMovesAt(Ply) ? ". " : "... ") + std::string(Text);
}

bool GameRecord::Play(Square From, Square To, char Promotion) {
    if (!FGame->IsLegalMove(From, To)) return false;
    const bool pawn = IsPawn(FGame->PieceAt(From));
    const char promotion = pawn && ReachesLastRank(To) ? AsciiUpper(Promotion == 0 ? 'Q' : Promotion) : 0;
    if (promotion != 0 && !OneOf("QRBN", promotion)) return false;
    RecordedMove move{From, To, promotion, SanBase(*FGame, From, To, promotion), 0};
    const int clock = Current().HalfmoveClock;
    {
        MoveWatch watch(*FGame, promotion == 0 ? 'Q' : promotion);
        if (!FGame->PerformMove(From, To)) return false;
        move.San += watch.Suffix();
        move.HalfmoveClock = pawn || watch.Capture ? 0 : clock + 1;
    }
    FMoves.resize(FPly);
    FMoves.push_back(std::move(move));
    ++FPly;
    return true;
}

bool GameRecord::GoTo(std::size_t Ply) {
    if (Ply > FMoves.size()) return false;
    if (Ply == FPly) return true;
    if (!FGame->GotoMove(BoardMove(Ply), WhiteMovesAt(Ply))) return false;
    FPly = Ply;
    return true;
}

GameSetup GameRecord::Current() const {
    GameSetup setup;
    setup.Position = FGame->Snapshot(1);
    setup.HalfmoveClock = FPly == 0 ? FStart.HalfmoveClock : FMoves[FPly - 1].HalfmoveClock;
    setup.FullmoveNumber = MoveNumberAt(FPly);
    return setup;
}

std::string GameRecord::Fen() const {
    return FormatFen(Current());
}

std::string GameRecord::Result() const {
    if (FGame->IsThreefoldRepetition()) return "1/2-1/2";
    if (FGame->HasLegalMove()) return "*";
    const bool white = FGame->GetWhiteToMove();
    const bool inCheck = white ? FGame->WhiteKingAttacked(None, None) : FGame->BlackKingAttacked(None, None);
    if (!inCheck) return "1/2-1/2";
    return white ? "0-1" : "1-0";
}

std::string GameRecord::SanOf(Square From, Square To, char Promotion) const {
    if (!FGame->IsLegalMove(From, To)) return {};
    // Played on a copy of the position for the check mark; the rules need no history for that.
    ChessGame scratch;
    scratch.NewGameFrom(FGame->Snapshot(1));
    const char promotion = AsciiUpper(Promotion == 0 ? 'Q' : Promotion);
    MoveWatch watch(scratch, promotion);
    if (!scratch.PerformMove(From, To)) return {};
    return SanBase(*FGame, From, To, promotion) + watch.Suffix();
}

SanMatch GameRecord::Find(std::string_view San) const {
    SanMatch match;
    while (!San.empty() && OneOf("+#!?", San.back())) San.remove_suffix(1);
    if (San.empty()) return match;
    const bool white = FGame->GetWhiteToMove();

    std::string_view rest = San;
    if (rest == "O-O" || rest == "0-0" || rest == "O-O-O" || rest == "0-0-0") {
        const CastlingMove& castling = CastlingsOf(white)[rest.size() == 3 ? 0 : 1];
        match.From = castling.KingFrom;
        match.To = castling.KingTo;
        rest = {};
    }

    char piece = 'P';
    int wantFile = 0, wantRank = 0;
    if (!rest.empty()) {
        if (OneOf("NBRQK", rest.front())) {
            piece = rest.front();
            rest.remove_prefix(1);
        }
        // A promotion: "e8=Q", "e8Q", and lower case only after the "=".
        if (piece == 'P' && rest.size() >= 3) {
            const char last = rest.back();
            const bool withSign = rest[rest.size() - 2] == '=';
            if (OneOf("NBRQ", last) || (withSign && OneOf("nbrq", last))) {
                match.Promotion = AsciiUpper(last);
                rest.remove_suffix(withSign ? 2 : 1);
            }
        }
        if (rest.size() < 2) return match;
        match.To = ChessGame::SquareFromName(rest.substr(rest.size() - 2));
        if (match.To == None || rest[rest.size() - 2] < 'a') return match;
        rest.remove_suffix(2);
        // What stands before the target: capture and dash marks, and the file and rank of the origin.
        std::string from;
        for (char c : rest)
            if (c != 'x' && c != ':' && c != '-') from += c;
        if (from.size() > 2) return match;
        std::size_t i = 0;
        if (i < from.size() && from[i] >= 'a' && from[i] <= 'h') wantFile = from[i++] - 'a' + 1;
        if (i < from.size() && from[i] >= '1' && from[i] <= '8') wantRank = from[i++] - '0';
        if (i != from.size()) return match;
    }

    if (FGame->IsThreefoldRepetition()) {
        match.Result = SanMatch::Status::GameOver;
        return match;
    }
    match.Result = SanMatch::Status::NoSuchMove;
    if (match.From != None) {
        // Castling: the king's own two-square move.
        if (FGame->PieceAt(match.From) == (white ? 'K' : 'k') && FGame->IsLegalMove(match.From, match.To))
            match.Result = SanMatch::Status::Found;
        return match;
    }
    const char letter = white ? piece : AsciiLower(piece);
    int found = 0;
    Square from = None;
    for (int s = 1; s <= 64; ++s) {
        const auto sq = static_cast<Square>(s);
        if (FGame->PieceAt(sq) != letter) continue;
        if ((wantFile != 0 && ChessGame::FileOf(sq) != wantFile) ||
            (wantRank != 0 && ChessGame::RankOf(sq) != wantRank))
            continue;
        if (!FGame->IsLegalMove(sq, match.To)) continue;
        ++found;
        from = sq;
    }
    if (found == 0) return match;
    if (found > 1) {
        match.Result = SanMatch::Status::Ambiguous;
        return match;
    }
    const bool promotes = piece == 'P' && ReachesLastRank(match.To);
    if (match.Promotion != 0 && !promotes) return match;
    if (promotes && match.Promotion == 0) match.Promotion = 'Q';
    match.From = from;
    match.Result = SanMatch::Status::Found;
    return match;
}

GameRecord GameRecord::FromHistory(const ChessGame& Board, int StartMove, bool StartWhite,
                                   const GameSetup& Counters) {
    GameSetup start = Counters;
    const long first = Order(StartMove, StartWhite);
    const long last = Order(Board.LastMove(), Board.LastWhite());
    MoveInfo info;
    Board.GetMoveInfo(StartMove, StartWhite, info);
    if (last > first && info.Position.size() == 64) {
        std::memcpy(start.Position.Board.data(), info.Position.data(), 64);
        start.Position.WhiteToMove = StartWhite;
        start.Position.Castling = info.Castling;
        start.Position.EnPassant = info.EnPassant;
    } else {
        start.Position = Board.Snapshot(1);
    }
    // A board starts a saved position with every castling right; only those whose king and rook stand at
    // home can ever be used, and a FEN names no others.
    for (const CastlingMove& castling : CastlingMoves)
        if (start.Position.Board[static_cast<std::size_t>(castling.KingFrom - 1)] != castling.King ||
            start.Position.Board[static_cast<std::size_t>(castling.RookFrom - 1)] != castling.Rook)
            start.Position.Castling.Exclude(castling.Right);
    GameRecord record(start);
    const char promotion = AsciiUpper(Board.GetPromotionPiece());
    for (long i = first; i < last; ++i) {
        const int move = static_cast<int>(i / 2);
        const bool white = i % 2 == 0;
        Board.GetMoveInfo(move, white, info);
        if (!record.Play(info.OldSq, info.NewSq, promotion)) break;
    }
    const long current = Order(Board.GetCurrentMove(), Board.GetWhiteToMove()) - first;
    if (current >= 0) record.GoTo(static_cast<std::size_t>(current));
    return record;
}
