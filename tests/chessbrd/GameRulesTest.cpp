// Board model, movement, king safety and repetition of ChessGame, checked against known move counts.
#include "TestPositions.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <ostream>
#include <random>
#include <string>

namespace {

bool LongRuns() {
    return std::getenv("GAMBITRON_LONG") != nullptr;
}

constexpr const char* Kiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";
constexpr const char* RookEndgame = "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -";

TEST(BoardModel, SquareArithmeticFollowsRankEightFirst) {
    EXPECT_EQ(ChessGame::FileOf(A8), 1);
    EXPECT_EQ(ChessGame::RankOf(A8), 8);
    EXPECT_EQ(ChessGame::FileOf(H1), 8);
    EXPECT_EQ(ChessGame::RankOf(H1), 1);
    EXPECT_EQ(ChessGame::SquareOf(5, 4), E4);
    EXPECT_EQ(ChessGame::SquareOf(0, 4), None);
    EXPECT_EQ(ChessGame::SquareOf(3, 9), None);
    EXPECT_TRUE(ChessGame::IsLightSquare(A8));
    EXPECT_TRUE(ChessGame::IsLightSquare(H1));
    EXPECT_FALSE(ChessGame::IsLightSquare(A1));
    EXPECT_FALSE(ChessGame::IsLightSquare(H8));
}

TEST(BoardModel, SquareNamesMustBeOneFileAndOneRank) {
    EXPECT_EQ(ChessGame::SquareFromName("E4"), E4);
    EXPECT_EQ(ChessGame::SquareFromName("h1"), H1);
    EXPECT_EQ(ChessGame::SquareFromName("e9"), None);
    EXPECT_EQ(ChessGame::SquareFromName("i1"), None);
    EXPECT_EQ(ChessGame::SquareFromName("e"), None);
    EXPECT_EQ(ChessGame::SquareFromName("e44"), None);
}

TEST(BoardModel, ANewGameHoldsTheInitialPositionWithAllRights) {
    ChessGame game;
    EXPECT_EQ(game.GetPosition(), "rnbqkbnrpppppppp" + std::string(32, ' ') + "PPPPPPPPRNBQKBNR");
    EXPECT_TRUE(game.GetWhiteToMove());
    EXPECT_EQ(game.GetCurrentMove(), 1);
    EXPECT_EQ(game.GetEnPassant(), None);
    EXPECT_EQ(game.GetCastlingAllowed(), CastleSet::All());
    EXPECT_EQ(game.GetPromotionPiece(), 'q');
    EXPECT_TRUE(game.Halted());
    EXPECT_EQ(game.PieceColor(E1), 1);
    EXPECT_EQ(game.PieceColor(E8), 0);
    EXPECT_EQ(game.PieceColor(E4), -1);
    EXPECT_EQ(game.PieceColor(None), -1);
    EXPECT_EQ(game.PieceColor(static_cast<Square>(255)), -1);
    EXPECT_EQ(game.PieceAt(static_cast<Square>(255)), ' ');
}

TEST(BoardModel, SetPositionKeepsOnlyPieceLettersAndPadsWithSpaces) {
    ChessGame game;
    game.SetPosition(std::string(63, ' '));
    EXPECT_EQ(game.GetPosition(), std::string(64, ' '));

    game.SetPosition("rnbqkbnrpppppppp" + std::string(48, 'x'));
    EXPECT_EQ(game.GetPosition(), "rnbqkbnrpppppppp" + std::string(48, ' '));

    game.SetPosition(std::string("rnbq\0kbnr", 9));
    EXPECT_EQ(game.GetPosition(), "rnbq" + std::string(60, ' '));
}

TEST(BoardModel, TheInitWordsInAnyCaseGiveTheInitialPositionAndNothingElse) {
    ChessGame game;
    game.SetWhiteToMove(false);
    for (const char* word : {"INIT", "NewGame"}) {
        game.SetPosition("");
        game.SetPosition(word);
        EXPECT_EQ(game.PieceAt(A8), 'r');
        EXPECT_EQ(game.PieceAt(H1), 'R');
        EXPECT_FALSE(game.GetWhiteToMove());
        EXPECT_EQ(game.GetCurrentMove(), 1);
    }
}

TEST(BoardModel, SettersIgnoreValuesTheyDoNotAccept) {
    ChessGame game;
    game.SetEnPassant(E3);
    EXPECT_EQ(game.GetEnPassant(), E3);
    game.SetEnPassant(None);
    EXPECT_EQ(game.GetEnPassant(), E3);
    game.SetEnPassant(E4);
    EXPECT_EQ(game.GetEnPassant(), E3);
    game.SetCurrentMove(10);
    EXPECT_EQ(game.GetCurrentMove(), 1);
}

TEST(PieceMovement, OnlyTheSideToMoveMovesAndOnlyAsItsPieceMay) {
    ChessGame game;
    EXPECT_TRUE(game.IsLegalMove(E2, E4));
    EXPECT_TRUE(game.IsLegalMove(G1, F3));
    EXPECT_FALSE(game.IsLegalMove(E2, E5));
    EXPECT_FALSE(game.IsLegalMove(G1, G3));
    EXPECT_FALSE(game.IsLegalMove(E7, E5));
    EXPECT_FALSE(game.IsLegalMove(None, E4));
    EXPECT_FALSE(game.IsLegalMove(E2, static_cast<Square>(65)));
    game.SetWhiteToMove(false);
    EXPECT_TRUE(game.IsLegalMove(E7, E5));
}

// One move asked of one position, with the answer the rules must give.
TEST(PieceMovement, EachPositionAllowsExactlyTheMovesTheRulesAllow) {
    const struct {
        const char* Fen;
        Square From, To;
        bool Legal;
        const char* Why;
    } cases[] = {
        {"4k3/8/8/8/8/4n3/4P3/4K3 w - -", E2, E3, false, "a pawn steps only onto an empty square"},
        {"4k3/8/8/8/8/4n3/4P3/4K3 w - -", E2, E4, false, "nor jumps over a piece"},
        {"4k3/8/8/8/4n3/8/4P3/4K3 w - -", E2, E3, true, "one step onto an empty square"},
        {"4k3/8/8/8/4n3/8/4P3/4K3 w - -", E2, E4, false, "two steps onto an occupied one"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", E5, D6, true, "en passant while the square is set"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - -", E5, D6, false, "no en passant without it"},
        {"4k3/8/8/8/8/8/8/R3K2R w KQ -", E1, G1, true, "king side with its right"},
        {"4k3/8/8/8/8/8/8/R3K2R w KQ -", E1, C1, true, "queen side with its right"},
        {"4k3/8/8/8/8/8/8/R3K2R w Q -", E1, G1, false, "king side without its right"},
        {"4k3/8/8/8/8/8/8/R3K1NR w KQ -", E1, G1, false, "a piece between king and rook"},
        {"4k3/8/8/8/8/8/8/RN2K2B w KQ -", E1, G1, false, "no rook in the corner"},
        {"4k3/8/8/8/8/8/8/RN2K2B w KQ -", E1, C1, false, "a knight beside the rook"},
        {"1r2k3/8/8/8/8/8/8/R3K3 w Q -", E1, C1, true, "b1 may be attacked"},
        {"3rk3/8/8/8/8/8/8/R3K3 w Q -", E1, C1, false, "d1 is attacked"},
        {"4k3/8/8/8/8/8/8/R3K2r w Q -", E1, C1, false, "the king stands in check"},
        {"r3k2r/8/8/8/8/8/8/5R2 b kq -", E8, G8, false, "f8 is attacked"},
        {"r3k2r/8/8/8/8/8/8/5R2 b kq -", E8, C8, true, "the other side is free"},
        {"4r1k1/8/8/8/8/8/4B3/4K3 w - -", E2, D3, false, "a pinned bishop"},
        {"4r1k1/8/8/8/8/8/4R3/4K3 w - -", E2, E5, true, "a pinned rook along its line"},
        {"4r1k1/8/8/8/8/8/4R3/4K3 w - -", E2, D2, false, "a pinned rook off its line"},
        {"8/8/8/3k4/8/3K4/8/8 w - -", D3, D4, false, "kings keep apart"},
        {"8/8/8/3k4/8/3K4/8/8 w - -", D3, D2, true, "a king steps away"},
        {"8/8/8/K2pP2r/8/8/8/7k w - d6", E5, D6, false, "en passant that opens the rank to the king"},
        {"7k/2b5/8/1pP5/K7/8/2n5/1r6 w - b6", C5, B6, true, "en passant takes the checking pawn"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Fen) + ": " + c.Why);
        ChessGame game;
        LoadPosition(game, c.Fen);
        EXPECT_EQ(game.IsLegalMove(c.From, c.To), c.Legal);
    }
}

TEST(PieceMovement, CastlingIsRefusedWithARookThatCameToTheCorner) {
    // The rook on h8 is taken and the other black rook recaptures there: it is not the rook that had the
    // right.
    ChessGame game;
    LoadPosition(game, "r3k2r/8/8/4B3/8/8/7r/1K6 w kq -");
    ASSERT_TRUE(game.PerformMove(E5, H8));
    ASSERT_TRUE(game.PerformMove(H2, H8));
    ASSERT_TRUE(game.PerformMove(B1, B2));
    EXPECT_EQ(game.PieceAt(H8), 'r');
    EXPECT_FALSE(game.IsLegalMove(E8, G8));
    EXPECT_TRUE(game.IsLegalMove(E8, C8));
    EXPECT_FALSE(game.GetCastlingAllowed().Contains(BlackKingSide));
}

TEST(KingSafety, AMissingKingIsNeverAttackedWhenWhiteAndAlwaysWhenBlack) {
    ChessGame game;
    LoadPosition(game, "8/8/8/8/8/8/8/q7 w - -");
    EXPECT_FALSE(game.WhiteKingAttacked(A1, A1));
    EXPECT_TRUE(game.BlackKingAttacked(A1, A1));
    LoadPosition(game, "8/8/8/8/8/8/8/r7 b - -");
    EXPECT_FALSE(game.HasLegalMove());
}

TEST(PlayablePositions, TheCheckNamesWhatKeepsAPositionFromPlay) {
    using Fault = ChessGame::PositionFault;
    const struct {
        const char* Fen;
        Fault Expected;
    } cases[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w", Fault::None},
        {"4k3/8/8/8/4R3/8/8/K7 b", Fault::None}, // the side to move may stand in check
        {"4k3/8/8/8/4R3/8/8/K7 w", Fault::OpponentInCheck},
        {"4k3/8/8/8/4r3/8/8/4K3 b", Fault::OpponentInCheck},
        {"rnbq1bnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQ1BNR w", Fault::KingCount},
        {"4k3/8/8/8/8/8/8/8 w", Fault::KingCount},
        {"4k3/8/8/8/8/8/8/K3K3 w", Fault::KingCount},
        {"3kk3/8/8/8/8/8/8/4K3 w", Fault::KingCount},
        {"P3k3/8/8/8/8/8/8/4K3 w", Fault::PawnOnEdgeRank},
        {"4k3/8/8/8/8/8/8/4K2p b", Fault::PawnOnEdgeRank},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Fen);
        ChessGame game;
        LoadPosition(game, std::string(c.Fen) + " - -");
        EXPECT_EQ(game.CheckPosition(), c.Expected);
        EXPECT_EQ(ChessGame::CheckPosition(game.GetPosition(), game.GetWhiteToMove()), c.Expected);
    }
    EXPECT_EQ(ChessGame::CheckPosition("init", true), Fault::None);
    EXPECT_EQ(ChessGame::CheckPosition("short", false), Fault::KingCount);
}

TEST(Repetition, TheThirdOccurrenceStopsAllPlayAndIgnoresSideAndRights) {
    ChessGame game;
    const Move dance[] = {{G1, F3}, {G8, F6}, {F3, G1}, {F6, G8}};
    for (int round = 0; round < 2; ++round)
        for (const Move& move : dance) {
            EXPECT_FALSE(game.IsThreefoldRepetition());
            ASSERT_TRUE(game.PerformMove(move.first, move.second));
        }
    EXPECT_TRUE(game.IsThreefoldRepetition());
    EXPECT_FALSE(game.HasLegalMove());
    EXPECT_FALSE(game.IsLegalMove(E2, E4));
    game.SetWhiteToMove(false);
    game.SetCastlingAllowed(CastleSet{});
    EXPECT_FALSE(game.IsLegalMove(E7, E5));
}

TEST(Repetition, LoadingAnotherPositionLiftsTheRefusal) {
    ChessGame game;
    const Move dance[] = {{G1, F3}, {G8, F6}, {F3, G1}, {F6, G8}};
    for (int round = 0; round < 2; ++round)
        for (const Move& move : dance) ASSERT_TRUE(game.PerformMove(move.first, move.second));
    ASSERT_FALSE(game.HasLegalMove());
    game.SetPosition(BoardFromPlacement("4k3/8/8/8/8/8/4P3/4K3"));
    EXPECT_FALSE(game.IsThreefoldRepetition());
    EXPECT_TRUE(game.IsLegalMove(E2, E4));
}

struct PerftCase {
    const char* Name;
    const char* Fen;
    int Depth;
    std::uint64_t Leaves;
    bool Long;
};

class KnownMoveCounts : public testing::TestWithParam<PerftCase> {};

TEST_P(KnownMoveCounts, LegalPairsAddUpToThePublishedCounts) {
    const PerftCase& c = GetParam();
    if (c.Long && !LongRuns()) GTEST_SKIP() << "set GAMBITRON_LONG for the deep counts";
    ChessGame game;
    LoadPosition(game, c.Fen);
    EXPECT_EQ(Perft(game, c.Depth), c.Leaves);
}

void PrintTo(const PerftCase& c, std::ostream* os) {
    *os << c.Name << " to depth " << c.Depth;
}

std::string PerftName(const testing::TestParamInfo<PerftCase>& info) {
    return std::string(info.param.Name) + "Depth" + std::to_string(info.param.Depth);
}

constexpr const char* Start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

INSTANTIATE_TEST_SUITE_P(StandardPositions, KnownMoveCounts,
                         testing::Values(PerftCase{"Start", Start, 1, 20, false},
                                         PerftCase{"Start", Start, 2, 400, false},
                                         PerftCase{"Start", Start, 3, 8902, false},
                                         PerftCase{"Start", Start, 4, 197281, true},
                                         PerftCase{"Kiwipete", Kiwipete, 1, 48, false},
                                         PerftCase{"Kiwipete", Kiwipete, 2, 2039, false},
                                         PerftCase{"Kiwipete", Kiwipete, 3, 97862, false},
                                         PerftCase{"Kiwipete", Kiwipete, 4, 4085603, true},
                                         PerftCase{"RookEndgame", RookEndgame, 1, 14, false},
                                         PerftCase{"RookEndgame", RookEndgame, 2, 191, false},
                                         PerftCase{"RookEndgame", RookEndgame, 3, 2812, false},
                                         PerftCase{"RookEndgame", RookEndgame, 4, 43238, false},
                                         PerftCase{"RookEndgame", RookEndgame, 5, 674624, true}),
                         PerftName);

class RandomPositions : public testing::TestWithParam<const char*> {};

TEST_P(RandomPositions, TheQuickReplyTestAgreesWithEveryPair) {
    int positions = 0, withoutMove = 0;
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        ChessGame game;
        LoadPosition(game, GetParam());
        RandomPlayout(game, seed, 300, [&](ChessGame& g) {
            ++positions;
            const bool any = AnyLegalPair(g);
            withoutMove += any ? 0 : 1;
            ASSERT_EQ(g.HasLegalMove(), any) << g.GetPosition();
        });
    }
    EXPECT_GT(positions, 500);
    RecordProperty("PositionsWithoutMove", withoutMove);
}

std::string RandomStartName(const testing::TestParamInfo<const char*>& info) {
    static const char* const names[] = {"Start", "Kiwipete", "RookEndgame", "ScholarsMateThreat",
                                        "RacingPawns"};
    return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(FromStartAndTactics, RandomPositions,
                         testing::Values(Start, Kiwipete, RookEndgame,
                                         "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq -",
                                         "8/P1k5/K7/8/8/8/6p1/8 w - -"),
                         RandomStartName);

TEST(SparsePositions, TheQuickReplyTestFindsTheMoveOfALonePiece) {
    // A king and one piece against a crowd: often a single piece has a single legal move, which is where a
    // destination missing from the quick test would show.
    std::mt19937 rng(7);
    auto squareAt = [&rng] { return std::uniform_int_distribution<int>(1, 64)(rng); };
    int stuck = 0;
    for (int i = 0; i < 20000; ++i) {
        const bool white = i % 2 == 0;
        std::string board(64, ' ');
        auto place = [&](char letter) {
            for (;;) {
                const int s = squareAt();
                const int rank = ChessGame::RankOf(static_cast<Square>(s));
                if (board[s - 1] != ' ' || ((letter == 'P' || letter == 'p') && (rank == 1 || rank == 8)))
                    continue;
                board[s - 1] = letter;
                return;
            }
        };
        auto side = [white](char c, bool mover) {
            return static_cast<char>(mover == white ? std::toupper(c) : std::tolower(c));
        };
        place(side('k', true));
        place(side("pnbrq"[i / 2 % 5], true));
        place(side('k', false));
        const int crowd = std::uniform_int_distribution<int>(3, 9)(rng);
        for (int n = 0; n < crowd; ++n) place(side("pnbrq"[squareAt() % 5], false));
        ChessGame game;
        game.SetPosition(board);
        game.SetWhiteToMove(white);
        if (i % 7 == 0) game.SetEnPassant(static_cast<Square>(white ? A6 + i % 8 : A3 + i % 8));
        const bool any = AnyLegalPair(game);
        stuck += any ? 0 : 1;
        ASSERT_EQ(game.HasLegalMove(), any) << board << (white ? " white" : " black");
    }
    EXPECT_GT(stuck, 100);
}

} // namespace
