// Carrying out moves on ChessGame: board changes, events in order, draws, history and its growth.
#include "TestPositions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Name(Square s) {
    return s == None ? "-"
                     : std::string{static_cast<char>('A' + ChessGame::FileOf(s) - 1),
                                   static_cast<char>('0' + ChessGame::RankOf(s))};
}

// Records every event as one line, e.g. "Capture E4 D5 p".
class MoveEvents : public testing::Test {
protected:
    void SetUp() override {
        auto move = [this](const char* what) {
            return [this, what](ChessGame* sender, Square from, Square to) {
                EXPECT_EQ(sender, &game);
                log.push_back(std::string(what) + " " + Name(from) + " " + Name(to));
            };
        };
        auto note = [this](const char* what) { return [this, what](ChessGame*) { log.emplace_back(what); }; };
        game.OnLegalMove = move("LegalMove");
        game.OnCheck = move("Check");
        game.OnMate = move("Mate");
        game.OnStaleMate = move("StaleMate");
        game.OnCastle = move("Castle");
        game.OnCapture = [this](ChessGame*, Square from, Square to, char piece) {
            log.push_back("Capture " + Name(from) + " " + Name(to) + " " + piece);
        };
        game.OnPromotion = [this](ChessGame*, Square from, Square to, char&) {
            log.push_back("Promotion " + Name(from) + " " + Name(to));
        };
        game.OnNoMatingMaterial = note("NoMatingMaterial");
        game.OnThreefoldPosition = note("Threefold");
        game.OnDraw = note("Draw");
        game.OnPaint = note("Paint");
    }

    std::vector<std::string> Play(Square from, Square to) {
        log.clear();
        EXPECT_TRUE(game.PerformMove(from, to)) << Name(from) << Name(to);
        return log;
    }

    using Log = std::vector<std::string>;
    ChessGame game;
    Log log;
};

TEST_F(MoveEvents, AQuietMoveReportsItselfAndPaints) {
    EXPECT_EQ(Play(E2, E4), (Log{"LegalMove E2 E4", "Paint"}));
    EXPECT_FALSE(game.GetWhiteToMove());
    EXPECT_EQ(game.GetCurrentMove(), 1);
    EXPECT_EQ(game.GetEnPassant(), E3);
    Play(E7, E5);
    EXPECT_TRUE(game.GetWhiteToMove());
    EXPECT_EQ(game.GetCurrentMove(), 2);
    EXPECT_EQ(game.GetEnPassant(), E6);
    Play(G1, F3);
    EXPECT_EQ(game.GetEnPassant(), None);
}

TEST_F(MoveEvents, ARefusedMoveChangesNothingAndStaysSilent) {
    const std::string before = game.GetPosition();
    EXPECT_FALSE(game.PerformMove(E2, E5));
    EXPECT_FALSE(game.MakeMove(E7, E5));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(game.GetPosition(), before);
    EXPECT_TRUE(game.GetWhiteToMove());
}

TEST_F(MoveEvents, CapturesNameTheTakenLetterAndEnPassantEmptiesTheSquareBehind) {
    LoadPosition(game, "4k3/8/8/3p4/4P3/8/8/4K3 w - -");
    EXPECT_EQ(Play(E4, D5), (Log{"LegalMove E4 D5", "Capture E4 D5 p", "Paint"}));
    LoadPosition(game, "4k3/3p4/8/4P3/8/8/8/4K3 b - -");
    Play(D7, D5);
    EXPECT_EQ(Play(E5, D6), (Log{"LegalMove E5 D6", "Capture E5 D6 p", "Paint"}));
    EXPECT_EQ(game.PieceAt(D5), ' ');
    EXPECT_EQ(game.PieceAt(D6), 'P');
}

TEST_F(MoveEvents, CastlingMovesTheRookAndDropsBothRights) {
    LoadPosition(game, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
    EXPECT_EQ(Play(E1, G1), (Log{"LegalMove E1 G1", "Castle E1 G1", "Paint"}));
    EXPECT_EQ(game.PieceAt(G1), 'K');
    EXPECT_EQ(game.PieceAt(F1), 'R');
    EXPECT_EQ(game.PieceAt(H1), ' ');
    EXPECT_EQ(game.GetCastlingAllowed().Bits, (CastleSet{0x0C}.Bits));
    Play(E8, C8);
    EXPECT_EQ(game.PieceAt(D8), 'r');
    EXPECT_EQ(game.PieceAt(A8), ' ');
    EXPECT_EQ(game.GetCastlingAllowed().Bits, 0);
}

TEST_F(MoveEvents, RightsGoWithTheHomeSquaresAMoveLeavesOrTakes) {
    LoadPosition(game, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
    Play(H1, H4);
    EXPECT_EQ(game.GetCastlingAllowed().Bits, 0x0E);
    // Taking the rook on its corner ends the right of both corners the move touches.
    LoadPosition(game, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
    Play(A1, A8);
    EXPECT_EQ(game.GetCastlingAllowed().Bits, 0x05);
    // A bishop taking the rook on h8 leaves the white rights alone.
    LoadPosition(game, "r3k2r/8/8/4B3/8/8/8/R3K2R w KQkq -");
    Play(E5, H8);
    EXPECT_EQ(game.GetCastlingAllowed().Bits, 0x0B);
    // The rights recorded in the history are those of each position, so a take-back restores them.
    ASSERT_TRUE(game.GotoMove(1, true));
    EXPECT_EQ(game.GetCastlingAllowed().Bits, 0x0F);
}

TEST_F(MoveEvents, PromotionUsesThePieceTheHandlerChoosesFromThenOn) {
    LoadPosition(game, "7k/PP6/8/8/8/8/6pp/K7 w - -");
    EXPECT_EQ(Play(A7, A8), (Log{"LegalMove A7 A8", "Promotion A7 A8", "Check A7 A8", "Paint"}));
    EXPECT_EQ(game.PieceAt(A8), 'Q');
    game.OnPromotion = [](ChessGame*, Square, Square, char& piece) { piece = 'n'; };
    Play(H8, H7);
    Play(B7, B8);
    EXPECT_EQ(game.PieceAt(B8), 'N');
    game.OnPromotion = nullptr;
    Play(H2, H1);
    EXPECT_EQ(game.PieceAt(H1), 'n');
    // A letter that comes out as the zero character must not cut the board string short.
    LoadPosition(game, "7k/P7/8/8/8/8/7p/K7 w - -");
    game.OnPromotion = [](ChessGame*, Square, Square, char& piece) { piece = '\0'; };
    Play(A7, A8);
    EXPECT_EQ(game.PieceAt(A8), ' ');
    game.OnPromotion = [](ChessGame*, Square, Square, char& piece) { piece = '\xE0'; };
    Play(H2, H1);
    EXPECT_EQ(game.PieceAt(H1), ' ');
    EXPECT_EQ(game.GetPosition().size(), 64u);
}

TEST_F(MoveEvents, FoolsMateChecksThenMatesAndEndsTheGame) {
    Play(F2, F3);
    Play(E7, E5);
    Play(G2, G4);
    EXPECT_EQ(Play(D8, H4), (Log{"LegalMove D8 H4", "Check D8 H4", "Mate D8 H4", "Paint"}));
    EXPECT_TRUE(game.GameOver());
    EXPECT_FALSE(game.HasLegalMove());
}

TEST_F(MoveEvents, MateWithoutAHandlerLeavesTheGameRunning) {
    game.OnMate = nullptr;
    Play(F2, F3);
    Play(E7, E5);
    Play(G2, G4);
    EXPECT_EQ(Play(D8, H4), (Log{"LegalMove D8 H4", "Check D8 H4", "Paint"}));
    EXPECT_FALSE(game.GameOver());
}

TEST_F(MoveEvents, AnEnPassantEscapeIsNotMate) {
    LoadPosition(game, "7k/1pb5/8/2P5/K7/8/2n5/1r6 b - -");
    EXPECT_EQ(Play(B7, B5), (Log{"LegalMove B7 B5", "Check B7 B5", "Paint"}));
    EXPECT_EQ(LegalMoves(game), (std::vector<Move>{{C5, B6}}));
}

TEST_F(MoveEvents, StalemateIsADraw) {
    LoadPosition(game, "7k/5K2/8/8/8/8/8/6Q1 w - -");
    EXPECT_EQ(Play(G1, G6), (Log{"LegalMove G1 G6", "StaleMate G1 G6", "Draw", "Paint"}));
    EXPECT_TRUE(game.GameOver());
}

TEST_F(MoveEvents, TooLittleMaterialIsADrawButPlayGoesOn) {
    LoadPosition(game, "4k3/8/8/8/8/8/3p4/4K1N1 w - -");
    EXPECT_EQ(Play(E1, D2), (Log{"LegalMove E1 D2", "Capture E1 D2 p", "NoMatingMaterial", "Draw", "Paint"}));
    EXPECT_TRUE(game.GameOver());
    EXPECT_TRUE(game.PerformMove(E8, D8));
    LoadPosition(game, "4k3/8/8/8/8/8/3p4/4KBN1 w - -");
    EXPECT_EQ(Play(E1, D2), (Log{"LegalMove E1 D2", "Capture E1 D2 p", "Paint"}))
        << "bishop and knight can mate";
}

TEST_F(MoveEvents, KnightsDancingTwiceGiveAThreefoldRepetition) {
    const Move dance[] = {{G1, F3}, {G8, F6}, {F3, G1}, {F6, G8}};
    for (int i = 0; i < 7; ++i) Play(dance[i % 4].first, dance[i % 4].second);
    EXPECT_EQ(Play(F6, G8), (Log{"LegalMove F6 G8", "Threefold", "Draw", "Paint"}));
    EXPECT_FALSE(game.PerformMove(E2, E4));
    EXPECT_TRUE(game.GotoMove(4, false));
    EXPECT_TRUE(game.HasLegalMove());
}

TEST_F(MoveEvents, AReplyIsNotJudgedByAnOutdatedHistoryEntry) {
    const Move dance[] = {{G1, F3}, {G8, F6}, {F3, G1}, {F6, G8}};
    for (int i = 0; i < 8; ++i) Play(dance[i % 4].first, dance[i % 4].second);
    // The entry (5, white) still holds the thrice-seen start position when a new line reaches that pair.
    ASSERT_TRUE(game.GotoMove(4, false));
    EXPECT_EQ(Play(F6, G4), (Log{"LegalMove F6 G4", "Paint"}));
    EXPECT_FALSE(game.GameOver());
    EXPECT_TRUE(game.HasLegalMove());
}

TEST_F(MoveEvents, RandomGamesEndExactlyWhenNoPairIsLegal) {
    bool ended = false;
    game.OnMate = [&](ChessGame*, Square, Square) { ended = true; };
    game.OnStaleMate = [&](ChessGame*, Square, Square) { ended = true; };
    int finished = 0;
    for (std::uint32_t seed = 100; seed < 110; ++seed) {
        game.NewGame();
        RandomPlayout(game, seed, 400, [&](ChessGame& g) {
            if (!g.IsThreefoldRepetition()) {
                EXPECT_EQ(ended, !AnyLegalPair(g)) << g.GetPosition();
            }
            finished += ended ? 1 : 0;
            ended = false;
        });
    }
    RecordProperty("GamesEndedByMateOrStalemate", finished);
}

TEST(MoveHistory, GotoMoveRestoresRecordedPositionsWithinTheSpanOnly) {
    ChessGame game;
    game.PerformMove(E2, E4);
    game.PerformMove(E7, E5);
    EXPECT_FALSE(game.GotoMove(5, true));
    EXPECT_FALSE(game.GotoMove(2, false));
    EXPECT_FALSE(game.GotoMove(0, false));
    ASSERT_TRUE(game.GotoMove(1, true));
    EXPECT_EQ(game.GetPosition(), ChessGame().GetPosition());
    EXPECT_TRUE(game.GetWhiteToMove());
    EXPECT_EQ(game.GetCastlingAllowed(), CastleSet::All());
    EXPECT_EQ(game.GetEnPassant(), None);
    ASSERT_TRUE(game.GotoMove(2, true));
    EXPECT_EQ(game.PieceAt(E5), 'p');
    EXPECT_EQ(game.GetEnPassant(), E6);
}

TEST(MoveHistory, APlayedMoveFromARestoredPositionCutsTheLaterLine) {
    ChessGame game;
    game.PerformMove(E2, E4);
    game.PerformMove(E7, E5);
    game.GotoMove(1, true);
    game.PerformMove(D2, D4);
    EXPECT_EQ(game.LastMove(), 1);
    EXPECT_FALSE(game.LastWhite());
    EXPECT_FALSE(game.GotoMove(2, true));
}

TEST(MoveHistory, GetMoveInfoCopiesAnEntryOrAnswersInit) {
    ChessGame game;
    game.PerformMove(E2, E4);
    MoveInfo info;
    game.GetMoveInfo(1, true, info);
    EXPECT_EQ(info.OldSq, E2);
    EXPECT_EQ(info.NewSq, E4);
    EXPECT_EQ(info.Position, ChessGame().GetPosition());
    game.GetMoveInfo(1, false, info);
    EXPECT_EQ(info.EnPassant, E3);
    game.GetMoveInfo(3, true, info);
    EXPECT_EQ(info.Position, "init");
    EXPECT_EQ(info.OldSq, None);
    EXPECT_EQ(info.NewSq, None);
    EXPECT_EQ(info.Castling, CastleSet{});
}

TEST(MoveHistory, LongGamesKeepEveryEntry) {
    // Each half-move starts from a board with a distinct pawn pattern, so nothing ever repeats.
    auto layout = [](int i) {
        std::string board(64, ' ');
        board[H8 - 1] = 'k';
        board[A1 - 1] = 'K';
        for (int bit = 0; bit < 10; ++bit)
            if ((i >> bit) & 1) board[A4 - 1 + bit] = 'P';
        return board;
    };
    ChessGame game;
    for (int i = 0; i < 600; ++i) {
        game.SetPosition(layout(i));
        ASSERT_TRUE(i % 2 == 0 ? game.PerformMove(A1, B1) : game.PerformMove(H8, G8)) << i;
    }
    EXPECT_EQ(game.GetCurrentMove(), 301);
    MoveInfo info;
    game.GetMoveInfo(1, true, info);
    EXPECT_EQ(info.Position, layout(0));
    game.GetMoveInfo(300, false, info);
    EXPECT_EQ(info.Position, layout(599));
    EXPECT_EQ(info.OldSq, H8);
    ASSERT_TRUE(game.GotoMove(260, true));
    EXPECT_EQ(game.GetPosition(), layout(518));
    EXPECT_TRUE(game.PerformMove(A1, B1));
}

TEST(MoveHistory, ANewGameKeepsOldEntriesButStartsTheSpanAgain) {
    ChessGame game;
    game.PerformMove(E2, E4);
    game.PerformMove(E7, E5);
    game.NewGame();
    EXPECT_FALSE(game.GotoMove(1, false));
    MoveInfo info;
    game.GetMoveInfo(1, true, info);
    EXPECT_EQ(info.OldSq, E2);
}

// Counts what the move routine asks of the view and the engine.
class ViewProbe : public ChessGame {
public:
    void StartThinking() override { ++starts; }
    // Like the board view: everything slides except the squares just dropped.
    bool ShouldSlide(Square from, Square to) const override { return from != dropFrom || to != dropTo; }
    void SlideMove(Square from, Square to) override { slides.emplace_back(from, to); }
    void DrawSquare(Square s) override { drawn.push_back(s); }
    void Drop(Square from, Square to) {
        dropFrom = from;
        dropTo = to;
    }
    Square dropFrom = None, dropTo = None;
    int starts = 0;
    std::vector<Move> slides;
    std::vector<Square> drawn;
};

TEST(MoveHooks, MakeMoveHaltsPlaysAndLetsTheEngineLookAgain) {
    ViewProbe game;
    EXPECT_TRUE(game.Halted());
    EXPECT_TRUE(game.MakeMove(E2, E4));
    EXPECT_FALSE(game.Halted());
    EXPECT_EQ(game.starts, 1);
    EXPECT_FALSE(game.MakeMove(E2, E4));
    EXPECT_EQ(game.starts, 2);
}

TEST(MoveHooks, OnlyMovesThePersonDidNotDropSlideAcrossTheBoard) {
    ViewProbe game;
    game.Drop(E2, E4);
    game.PerformMove(E2, E4);
    EXPECT_TRUE(game.slides.empty());
    game.PerformMove(E7, E5);
    EXPECT_EQ(game.slides, (std::vector<Move>{{E7, E5}}));
    game.drawn.clear();
    game.GotoMove(1, true);
    EXPECT_EQ(game.drawn, (std::vector<Square>{E7, E5, E4, E2}));
}

TEST(MoveHooks, SnapshotCopiesWhatTheEngineReads) {
    ChessGame game;
    game.PerformMove(E2, E4);
    const EnginePosition position = game.Snapshot(4);
    EXPECT_EQ(std::string(position.Board.begin(), position.Board.end()), game.GetPosition());
    EXPECT_FALSE(position.WhiteToMove);
    EXPECT_EQ(position.EnPassant, E3);
    EXPECT_EQ(position.Castling, CastleSet::All());
    EXPECT_EQ(position.SearchDepth, 4);
}

} // namespace
