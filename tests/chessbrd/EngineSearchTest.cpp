// The search: choices at small depths, ties, determinism, "no move", capacity guards, stop and node counts.
#include "ChessEngineBenchSuite.h"
#include "EngineTestSupport.h"

#include <chrono>
#include <thread>

TEST(EngineSearch, FindsMateInOneAtDepthOne) {
    EXPECT_EQ(BestMoveText(*EngineAt("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1")), "a1a8");
    EXPECT_EQ(BestMoveText(*EngineAt("r5k1/8/8/8/8/8/5PPP/6K1 b - - 0 1")), "a8a1");
}

TEST(EngineSearch, MateScoreCountsThePlies) {
    auto engine = EngineAt("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", 2);
    int lastScore = 0;
    engine->OnIteration = [&](const IterationReport& report) { lastScore = report.Score; };
    engine->ThinkMove();
    EXPECT_EQ(lastScore, ChessEngine::Infinity - 1);
}

TEST(EngineSearch, DepthOneSeesTheRecaptureOfADefendedPawn) {
    // Qxd5 exd5 loses the queen: the quiescence search after the move sees it.
    EXPECT_NE(BestMoveText(*EngineAt("4k3/8/4p3/3p4/8/8/8/3QK3 w - - 0 1")), "d1d5");
    // The same pawn undefended is simply taken.
    EXPECT_EQ(BestMoveText(*EngineAt("4k3/8/8/3p4/8/8/8/3QK3 w - - 0 1")), "d1d5");
}

TEST(EngineSearch, EqualScoresGoToTheFirstMoveInSearchOrder) {
    // Bare kings at depth 1: d2, e2 and f2 score alike; d2 is generated first.
    EXPECT_EQ(BestMoveText(*EngineAt("4k3/8/8/8/8/8/8/4K3 w - - 0 1")), "e1d2");
    EXPECT_EQ(BestMoveText(*EngineAt("4k3/8/8/8/8/8/8/4K3 b - - 0 1")), "e8d7");
}

TEST(EngineSearch, SameInputsGiveTheSameMoveAndNodes) {
    for (std::string_view fen : BenchPositions) {
        auto first = EngineAt(std::string(fen), 4);
        auto second = EngineAt(std::string(fen), 4);
        first->ThinkMove();
        second->ThinkMove();
        EXPECT_EQ(first->BestMove(), second->BestMove()) << fen;
        EXPECT_EQ(first->Nodes(), second->Nodes()) << fen;
    }
}

TEST(EngineSearch, OddRootsKeepTheirMovesAndNodes) {
    // Roots where a king may be taken or is missing or doubled are searched without the shortcuts a regular
    // root allows; their results are pinned so that a root taken for regular by mistake shows.
    struct Case {
        const char* Fen;
        const char* Best;
        std::uint64_t Nodes;
    };
    for (const Case& c : {
             Case{"rnbqkbnr/ppppp1pp/8/5p1Q/4P3/8/PPPP1PPP/RNB1KBNR w KQkq - 0 1", "e4f5", 232995},
             Case{"4k3/8/8/8/8/8/4R3/K7 w - - 0 1", "a1b2", 22243},
             Case{"r1bqk2r/pppp1ppp/2n2n2/2b1p3/2B1P3/3P1N2/PPP2PPP/RNBQK2K w kq - 0 1", "c1g5", 638905},
             Case{"rnbq1bnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQ - 0 1", "f1c4", 113473},
         }) {
        auto engine = EngineAt(c.Fen, 5);
        EXPECT_EQ(BestMoveText(*engine), c.Best) << c.Fen;
        EXPECT_EQ(engine->Nodes(), c.Nodes) << c.Fen;
    }
}

TEST(EngineSearch, NoLegalMoveMeansNoMove) {
    // Checkmated and stalemated, even after an earlier search on the same engine left a move behind.
    auto engine = EngineAt(std::string(StartFen), 2);
    ASSERT_NE(BestMoveText(*engine), "none");
    engine->SetRoot(PositionFromFen("R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1", 3));
    EXPECT_EQ(BestMoveText(*engine), "none");
    engine->SetRoot(PositionFromFen("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 3));
    EXPECT_EQ(BestMoveText(*engine), "none");
    EXPECT_EQ(engine->Ply(), 0);
}

TEST(EngineSearch, DepthIsClampedToOneToEight) {
    int deepest = 0;
    auto engine = EngineAt("4k3/8/8/8/8/8/8/4K3 w - - 0 1", 0);
    engine->OnIteration = [&](const IterationReport& report) { deepest = report.Depth; };
    engine->ThinkMove();
    EXPECT_EQ(deepest, 1);
    engine->SetRoot(PositionFromFen("4k3/8/8/8/8/8/8/4K3 w - - 0 1", 20));
    engine->ThinkMove();
    EXPECT_EQ(deepest, 8);
}

TEST(EngineSearch, StopRequestedBeforeTheSearchChoosesNothing) {
    auto engine = EngineAt(std::string(StartFen), 6);
    engine->FStopRequested = true;
    engine->ThinkMove();
    EXPECT_FALSE(engine->HasBestMove());
    EXPECT_EQ(engine->Nodes(), 0u);
}

TEST(EngineSearch, StopDuringTheSearchEndsItQuickly) {
    auto engine = EngineAt("r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 8);
    engine->OnIteration = [&](const IterationReport& report) {
        if (report.Depth == 2) engine->FStopRequested = true;
    };
    engine->ThinkMove();
    EXPECT_LT(engine->Nodes(), 20000u);
    EXPECT_EQ(engine->Ply(), 0);
}

TEST(EngineSearch, StopEndsASearchLostInCaptures) {
    // Forty-eight pawns in contact: depth one alone takes hours, all of it in the capture search.
    auto engine = EngineAt("k7/pppppppp/pppppppp/pppppppp/PPPPPPPP/PPPPPPPP/PPPPPPPP/K7 w - - 0 1", 1);
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        engine->FStopRequested = true;
    });
    engine->ThinkMove();
    stopper.join();
    EXPECT_EQ(engine->Ply(), 0);
}

TEST(EngineSearch, NodeCountersCountBothKindsAndRestartWithEachSearch) {
    auto engine = EngineAt(std::string(StartFen), 3);
    engine->ThinkMove();
    const std::uint64_t nodes = engine->Nodes();
    EXPECT_GT(engine->FullNodes(), 0u);
    EXPECT_GT(engine->QuiescenceNodes(), 0u);
    EXPECT_EQ(nodes, engine->FullNodes() + engine->QuiescenceNodes());
    engine->ReadBoard();
    EXPECT_EQ(engine->Nodes(), 0u);
}

TEST(EngineSearch, NodesAtThePlyLimitAreScoredStatically) {
    // A search started near the end of the ply tables must stay inside them (the sanitizer build checks
    // every index) and score the last ply statically, within the window.
    auto engine = EngineAt("r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10");
    engine->FPly = ChessEngine::MaxPly - 1;
    engine->FFirst[ChessEngine::MaxPly - 1] = 0;
    EXPECT_EQ(engine->AlphaBeta(-50, 50, 4), std::clamp(engine->Evaluate(), -50, 50));
    EXPECT_EQ(engine->Quiescence(-ChessEngine::Infinity, ChessEngine::Infinity), engine->Evaluate());
    EXPECT_EQ(engine->FPvLength[ChessEngine::MaxPly - 1], ChessEngine::MaxPly - 1);

    engine->FPly = ChessEngine::MaxPly - 6;
    engine->FFirst[ChessEngine::MaxPly - 6] = 0;
    const int score = engine->AlphaBeta(-ChessEngine::Infinity, ChessEngine::Infinity, 8);
    EXPECT_GT(score, -ChessEngine::Infinity);
    EXPECT_EQ(engine->Ply(), ChessEngine::MaxPly - 6);
    EXPECT_EQ(engine->Perft(6), 0u);
}

TEST(EngineSearch, NodesWhoseMovesMightNotFitAreScoredStatically) {
    auto engine = EngineAt("r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10");
    // 16 white pieces may need up to 16 x 27 + 4 slots.
    engine->FFirst[0] = ChessEngine::MoveListSize - 16 * 27 - 4 + 1;
    EXPECT_TRUE(engine->AtCapacityLimit());
    EXPECT_EQ(engine->AlphaBeta(-ChessEngine::Infinity, ChessEngine::Infinity, 3), engine->Evaluate());
    engine->FFirst[0] = ChessEngine::MoveListSize - 16 * 27 - 4;
    EXPECT_FALSE(engine->AtCapacityLimit());
    engine->FFirst[0] = ChessEngine::MoveListSize - 600;
    engine->AlphaBeta(-ChessEngine::Infinity, ChessEngine::Infinity, 3);
    EXPECT_EQ(engine->Ply(), 0);
}

TEST(EngineSearch, BenchNodeCountIsPinned) {
    // The total nodes of the bench suite at depth 4. Any change in generation order, ordering scores,
    // pruning or evaluation changes it; a changed number means changed behaviour.
    EXPECT_EQ(RunBenchSuite(4).Nodes, 589946u);
}
