// Static evaluation: material, placement, game phase, pawn structure and rook files.
#include "EngineTestSupport.h"

#include <random>

namespace {

int EvaluationOf(const std::string& fen) {
    return EngineAt(fen)->Evaluate();
}

} // namespace

TEST(EngineEvaluation, InitialPositionIsLevel) {
    EXPECT_EQ(EvaluationOf(std::string(StartFen)), 0);
    EXPECT_EQ(EvaluationOf("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1"), 0);
}

TEST(EngineEvaluation, LonePassedPawnOnTheSeventhScoresFromTheSideToMove) {
    // 105 for the pawn on a7, +210 passed, -30 isolated on a file without enemy pawns; the kings cancel.
    EXPECT_EQ(EvaluationOf("4k3/P7/8/8/8/8/8/4K3 w - - 0 1"), 285);
    EXPECT_EQ(EvaluationOf("4k3/P7/8/8/8/8/8/4K3 b - - 0 1"), -285);
}

TEST(EngineEvaluation, KingTableSwitchesToTheEndgameAtFourteenHundred) {
    // Black keeps queen and rook (exactly 1400): White's king uses the end table (e1 -5) and no shield is
    // added.
    auto endgame = EngineAt("r2qk3/8/8/8/8/8/5PPP/6K1 w - - 0 1");
    EXPECT_EQ(endgame->FPieceSquare[ChessEngine::White][ChessEngine::King][EngineSquare("g1")], -5);
    EXPECT_EQ(endgame->FPieceSquare[ChessEngine::White][ChessEngine::Pawn][EngineSquare("g2")], 100);

    // One knight more (1700): middle table (g1 10) and the king-side shield on the pawns (g2 +20).
    auto middle = EngineAt("rn1qk3/8/8/8/8/8/5PPP/6K1 w - - 0 1");
    EXPECT_EQ(middle->FPieceSquare[ChessEngine::White][ChessEngine::King][EngineSquare("g1")], 10);
    EXPECT_EQ(middle->FPieceSquare[ChessEngine::White][ChessEngine::Pawn][EngineSquare("g2")], 120);
    EXPECT_EQ(middle->FPieceSquare[ChessEngine::White][ChessEngine::Pawn][EngineSquare("b2")], 100);

    // Mirrored for Black: queen-side king, White with 1700.
    auto black = EngineAt("1k6/ppp5/8/8/8/8/8/RN1QK3 b - - 0 1");
    EXPECT_EQ(black->FPieceSquare[ChessEngine::Black][ChessEngine::King][EngineSquare("b8")], 0);
    EXPECT_EQ(black->FPieceSquare[ChessEngine::Black][ChessEngine::Pawn][EngineSquare("b7")], 120);
    EXPECT_EQ(black->FPieceSquare[ChessEngine::Black][ChessEngine::Pawn][EngineSquare("g7")], 100);
}

TEST(EngineEvaluation, KingOnTheCentreFilesGetsNoShield) {
    auto engine = EngineAt("rn1qk3/8/8/8/8/8/3PPP2/4K3 w - - 0 1");
    EXPECT_EQ(engine->FPieceSquare[ChessEngine::White][ChessEngine::Pawn][EngineSquare("f2")], 100);
    EXPECT_EQ(engine->FPieceSquare[ChessEngine::White][ChessEngine::Pawn][EngineSquare("d2")], 80);
}

TEST(EngineEvaluation, MissingKingTakesTheShieldFileFromBefore) {
    // No white king: White's shield decision uses file a, so the queen side is shielded.
    auto noWhiteKing = EngineAt("rn1qk3/8/8/8/8/8/PP4PP/8 w - - 0 1");
    EXPECT_EQ(noWhiteKing->FPieceSquare[ChessEngine::White][ChessEngine::Pawn][EngineSquare("a2")], 120);
    EXPECT_EQ(noWhiteKing->FPieceSquare[ChessEngine::White][ChessEngine::Pawn][EngineSquare("h2")], 100);
    // No black king: Black uses White's king file (g), so Black's king side is shielded.
    auto noBlackKing = EngineAt("8/pp4pp/8/8/8/8/8/RN1Q2K1 w - - 0 1");
    EXPECT_EQ(noBlackKing->FPieceSquare[ChessEngine::Black][ChessEngine::Pawn][EngineSquare("g7")], 120);
    EXPECT_EQ(noBlackKing->FPieceSquare[ChessEngine::Black][ChessEngine::Pawn][EngineSquare("a7")], 100);
}

TEST(EngineEvaluation, DoubledPawnsPayFiveEach) {
    // White d2 80 + e2 80 against Black's isolated e7 80 - 20; nothing passed, kings cancel.
    EXPECT_EQ(EvaluationOf("4k3/4p3/8/8/8/8/3PP3/4K3 w - - 0 1"), 100);
    // e3 (104) doubles the e-file: 2 x -5.
    EXPECT_EQ(EvaluationOf("4k3/4p3/8/8/8/4P3/3PP3/4K3 w - - 0 1"), 194);
    // e4 (108) triples it: 3 x -5.
    EXPECT_EQ(EvaluationOf("4k3/4p3/8/8/4P3/4P3/3PP3/4K3 w - - 0 1"), 297);
}

TEST(EngineEvaluation, IsolatedAndPassedLookAtFilesOnly) {
    // e6 (116) and d3 (116) are both isolated on half-open files (-30 each); each has an enemy pawn on a
    // neighbouring file, even though the pawns have passed each other, so neither is passed.
    EXPECT_EQ(EvaluationOf("4k3/8/4P3/8/8/3p4/8/4K3 w - - 0 1"), 0);
    // Without the d-pawn the e-pawn is passed: 116 - 30 + 232.
    EXPECT_EQ(EvaluationOf("4k3/8/4P3/8/8/8/8/4K3 w - - 0 1"), 318);
}

TEST(EngineEvaluation, RookFiles) {
    // Rook on d1 with only Black's pawn on the d-file: +10 (Black's d7 pawn: 80 - 30 + 160).
    EXPECT_EQ(EvaluationOf("4k3/3p4/8/8/8/8/8/3RK3 w - - 0 1"), 510 - 210);
    // Open d-file: +15 (Black's a7 pawn: 100 - 30 + 200).
    EXPECT_EQ(EvaluationOf("4k3/p7/8/8/8/8/8/3RK3 w - - 0 1"), 515 - 270);
    // Own pawn on the file: nothing (White's d2 pawn: 80 - 30 + 160).
    EXPECT_EQ(EvaluationOf("4k3/8/8/8/8/8/3P4/3RK3 w - - 0 1"), 500 + 210);
    // Doubled rooks count each, and so do three or four rooks of a side (after promotions), where the count
    // takes another way.
    for (const char* fen : {"4k3/p7/8/8/8/8/3R4/3RK3 w - - 0 1", "r2rk3/8/8/8/8/8/P7/R2RKR2 b - - 0 1",
                            "rr1rk3/3p4/8/8/8/8/8/RR1RK1R1 w - - 0 1", "4k3/8/8/8/8/8/8/RRRRK3 w - - 0 1"}) {
        auto engine = EngineAt(fen);
        EXPECT_EQ(engine->Evaluate(), engine->ReferenceEvaluate()) << fen;
    }
}

TEST(EngineEvaluation, MissingKingIsScoredWithoutIt) {
    // No black king: White's king (end table e1 -5) is the only difference from the bare pawn case.
    EXPECT_EQ(EvaluationOf("8/P7/8/8/8/8/8/4K3 w - - 0 1"), 285 - 5);
}

TEST(EngineEvaluation, StaysEqualToAFullRecountDuringPlay) {
    // The engine keeps its sums up to date move by move; random games must never make them drift from a
    // fresh count over the squares, including after take-backs.
    std::mt19937 random(7);
    for (std::string_view fen : {StartFen,
                                 std::string_view("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/"
                                                  "PPPBBPPP/R3K2R w KQkq - 0 1"),
                                 std::string_view("8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1")}) {
        auto engine = EngineAt(std::string(fen));
        int played = 0;
        for (int ply = 0; ply < 60; ++ply) {
            const std::vector<EngineMove> moves = engine->LegalMoves();
            if (moves.empty()) break;
            const EngineMove move = moves[random() % moves.size()];
            engine->DoMove(move);
            ++played;
            ASSERT_EQ(engine->Evaluate(), engine->ReferenceEvaluate())
                << "after " << ChessEngine::MoveText(move);
            if (played % 3 == 0) {
                engine->UndoMove();
                --played;
                ASSERT_EQ(engine->Evaluate(), engine->ReferenceEvaluate());
            }
            if (engine->Ply() > 40) break;
        }
    }
}
