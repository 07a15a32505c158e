// The engine board: taking the position in, move generation and its order, make and take-back, attacks.
#include "ChessGame.h"
#include "EngineTestSupport.h"

#include <algorithm>
#include <random>
#include <tuple>

namespace {

bool HasMove(ChessEngine& engine, const std::string& text) {
    const std::vector<EngineMove> moves = engine.LegalMoves();
    return std::any_of(moves.begin(), moves.end(),
                       [&](const EngineMove& move) { return ChessEngine::MoveText(move) == text; });
}

const std::vector<std::string> SamplePositions = {
    std::string(StartFen),
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
};

// Plays Games random games of up to Plies moves from every sample position while each side has one king,
// handing Visit the engine, the legal moves and where it stands before each move is chosen.
template <typename Visit> void ForRandomGames(unsigned Games, int Plies, Visit visit) {
    for (const std::string& fen : SamplePositions) {
        for (unsigned game = 0; game < Games; ++game) {
            std::mt19937 random(game);
            auto engine = EngineAt(fen);
            for (int ply = 0; ply < Plies && engine->SingleKings(); ++ply) {
                const std::vector<EngineMove> moves = engine->LegalMoves();
                if (moves.empty()) break;
                visit(*engine, moves, fen + " game " + std::to_string(game) + " ply " + std::to_string(ply));
                if (testing::Test::HasFatalFailure()) return;
                engine->DoMove(moves[random() % moves.size()]);
            }
        }
    }
}

} // namespace

TEST(EngineBoard, CastlingRightNeedsKingAndRookAtHome) {
    // Rights that the board still holds without their rooks must not let the engine castle with a rook
    // that is not there.
    auto noRooks = EngineAt("4k3/8/8/8/8/8/8/4K3 w KQkq - 0 1");
    EXPECT_EQ(noRooks->CastleRights(), 0);
    EXPECT_FALSE(HasMove(*noRooks, "e1g1"));
    EXPECT_FALSE(HasMove(*noRooks, "e1c1"));

    auto kingAway = EngineAt("r3k2r/8/8/8/8/8/8/R2K3R w KQkq - 0 1");
    EXPECT_EQ(kingAway->CastleRights(), 4 | 8);

    auto oneRook = EngineAt("r3k3/8/8/8/8/8/8/4K2R b KQkq - 0 1");
    EXPECT_EQ(oneRook->CastleRights(), 1 | 8);
    EXPECT_TRUE(HasMove(*oneRook, "e8c8"));
    EXPECT_FALSE(HasMove(*oneRook, "e8g8"));

    // A rook of the wrong colour on the corner does not count either.
    EXPECT_EQ(EngineAt("4k2R/8/8/8/8/8/8/4K2r w KQkq - 0 1")->CastleRights(), 0);
}

TEST(EngineBoard, ARookThatCameToTheCornerCannotCastle) {
    // From the board: a bishop takes the rook on h8, the other black rook recaptures there.
    const EnginePosition start = PositionFromFen("r3k2r/8/8/4B3/8/8/7r/1K6 w kq - 0 1");
    ChessGame game;
    game.SetPosition(std::string(start.Board.begin(), start.Board.end()));
    game.SetCastlingAllowed(start.Castling);
    ASSERT_TRUE(game.PerformMove(E5, H8));
    ASSERT_TRUE(game.PerformMove(H2, H8));
    ASSERT_TRUE(game.PerformMove(B1, B2));
    auto engine = std::make_unique<ChessEngine>();
    engine->SetRoot(game.Snapshot(1));
    engine->ReadBoard();
    EXPECT_FALSE(HasMove(*engine, "e8g8"));
    EXPECT_TRUE(HasMove(*engine, "e8c8"));

    // The engine's own make and take-back inside a search treat the corner the same way.
    auto searched = std::make_unique<EngineProbe>();
    searched->SetRoot(start);
    searched->ReadBoard();
    for (const char* text : {"e5h8", "h2h8", "b1b2"}) {
        const std::vector<EngineMove> moves = searched->LegalMoves();
        const auto move = std::find_if(moves.begin(), moves.end(),
                                       [&](const EngineMove& m) { return ChessEngine::MoveText(m) == text; });
        ASSERT_NE(move, moves.end()) << text;
        ASSERT_TRUE(searched->DoMove(*move));
    }
    EXPECT_EQ(searched->CastleRights(), 8);
    EXPECT_FALSE(HasMove(*searched, "e8g8"));
    EXPECT_TRUE(HasMove(*searched, "e8c8"));
    for (int i = 0; i < 3; ++i) searched->UndoMove();
    EXPECT_EQ(searched->CastleRights(), 4 | 8);
}

TEST(EngineBoard, CastlingIsRefusedOutOfOrThroughCheck) {
    EXPECT_TRUE(HasMove(*EngineAt("4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1"), "e1g1"));
    EXPECT_FALSE(HasMove(*EngineAt("4r1k1/8/8/8/8/8/8/R3K2R w KQ - 0 1"), "e1g1")); // in check
    EXPECT_FALSE(HasMove(*EngineAt("5rk1/8/8/8/8/8/8/R3K2R w KQ - 0 1"), "e1g1"));  // f1 attacked
    EXPECT_FALSE(HasMove(*EngineAt("3r2k1/8/8/8/8/8/8/R3K2R w KQ - 0 1"), "e1c1")); // d1 attacked
    // b1 may be attacked, only c1 and d1 matter; but it must be empty.
    EXPECT_TRUE(HasMove(*EngineAt("1r4k1/8/8/8/8/8/8/R3K2R w KQ - 0 1"), "e1c1"));
    EXPECT_FALSE(HasMove(*EngineAt("6k1/8/8/8/8/8/8/RN2K2R w KQ - 0 1"), "e1c1"));
}

TEST(EngineBoard, EnPassantSquareIsTakenOnlyWhenAPawnCanHavePassedIt) {
    auto real = EngineAt("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
    EXPECT_EQ(real->EpSquare(), EngineSquare("d6"));
    EXPECT_TRUE(HasMove(*real, "e5d6"));

    // No black pawn on d5: taking back the capture would conjure one up.
    EXPECT_EQ(EngineAt("4k3/8/8/4P3/8/8/8/4K3 w - d6 0 1")->EpSquare(), -1);
    // The square itself occupied.
    EXPECT_EQ(EngineAt("4k3/8/3n4/3pP3/8/8/8/4K3 w - d6 0 1")->EpSquare(), -1);
    // A white pawn "behind" the square when White is to move.
    EXPECT_EQ(EngineAt("4k3/8/8/3PP3/8/8/8/4K3 w - d6 0 1")->EpSquare(), -1);
    // Black to move: rank 3 with a white pawn in front.
    EXPECT_EQ(EngineAt("4k3/8/8/8/3Pp3/8/8/4K3 b - d3 0 1")->EpSquare(), EngineSquare("d3"));
}

TEST(EngineBoard, EnPassantCaptureComesFirstAndIsTakenBackExactly) {
    // The pawn on e5 can take the queen on f6 or the pawn on d5 en passant; the capture en passant sorts
    // first.
    auto engine = EngineAt("4k3/8/5q2/3pP3/8/8/8/4K3 w - d6 0 1");
    const EnginePosition before = engine->Position();
    engine->GenerateMoves();
    engine->PickMove(engine->FirstSlot());
    const MoveEntry first = engine->Slot(engine->FirstSlot());
    EXPECT_EQ(ChessEngine::MoveText(first.Move), "e5d6");
    EXPECT_EQ(first.Move.Flags, mfPawn | mfCapture | mfEnPassant);
    EXPECT_EQ(first.Score, 1000060);

    ASSERT_TRUE(engine->DoMove(first.Move));
    EXPECT_EQ(engine->PieceAt(EngineSquare("d5")), ChessEngine::EmptySquare);
    EXPECT_EQ(engine->PieceAt(EngineSquare("d6")), ChessEngine::Pawn);
    engine->UndoMove();
    EXPECT_EQ(engine->Position().Board, before.Board);
    EXPECT_EQ(engine->EpSquare(), EngineSquare("d6"));
}

TEST(EngineBoard, PromotionsOnlyOnTheLastRankAsFourMoves) {
    auto engine = EngineAt("4k3/P7/1P6/8/8/8/8/4K3 w - - 0 1");
    engine->GenerateMoves();
    std::vector<std::string> pawnMoves;
    for (int i = engine->FirstSlot(); i < engine->LastSlot(); ++i) {
        const EngineMove move = engine->Slot(i).Move;
        if (move.Flags & mfPawn) pawnMoves.push_back(ChessEngine::MoveText(move));
    }
    EXPECT_EQ(pawnMoves, (std::vector<std::string>{"a7a8n", "a7a8b", "a7a8r", "a7a8q", "b6b7"}));
    EXPECT_EQ(engine->Slot(engine->FirstSlot() + 3).Score, 1000040);

    auto black = EngineAt("4k3/8/8/8/8/8/p7/4K3 b - - 0 1");
    ASSERT_EQ(black->LegalMoves().size(), 4u + 5u);
}

TEST(EngineBoard, PositionAfterPlaysOnlyMovesFromTheLegalList) {
    auto engine = EngineAt("r3k2r/8/8/8/8/8/8/R3K1NR w KQkq - 0 1");
    const EnginePosition before = engine->Position();
    const std::vector<EngineMove> moves = engine->LegalMoves();
    const auto castle = std::find_if(moves.begin(), moves.end(),
                                     [](const EngineMove& m) { return ChessEngine::MoveText(m) == "e1c1"; });
    ASSERT_NE(castle, moves.end());
    const std::optional<EnginePosition> after = engine->PositionAfter(*castle);
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(after->Board[static_cast<std::size_t>(EngineSquare("d1"))], 'R');
    EXPECT_EQ(after->Castling, (CastleSet{0x0C}));
    EXPECT_FALSE(after->WhiteToMove);
    // Castling through the knight, a move from an empty square and the other side's move are refused.
    EngineMove blocked = *castle;
    blocked.To = static_cast<std::uint8_t>(EngineSquare("g1"));
    EXPECT_FALSE(engine->PositionAfter(blocked).has_value());
    EXPECT_FALSE(engine
                     ->PositionAfter(EngineMove{static_cast<std::uint8_t>(EngineSquare("e4")),
                                                static_cast<std::uint8_t>(EngineSquare("e5")), 0, 0})
                     .has_value());
    EXPECT_FALSE(engine
                     ->PositionAfter(EngineMove{static_cast<std::uint8_t>(EngineSquare("a8")),
                                                static_cast<std::uint8_t>(EngineSquare("a1")), 0, mfCapture})
                     .has_value());
    EXPECT_EQ(engine->Position(), before);
    EXPECT_EQ(engine->Ply(), 0);
}

TEST(EngineBoard, OddPositionsDoNotBreakTheEngine) {
    // Pawns on their last rank, missing kings and extra kings can reach the engine from a loaded game.
    for (const char* fen : {"P3k3/8/8/8/8/8/8/4K2p w - - 0 1", "P3k3/8/8/8/8/8/8/4K2p b - - 0 1",
                            "8/8/8/8/8/8/8/R3K3 w - - 0 1", "4k3/8/8/8/8/8/8/R7 w - - 0 1",
                            "4k3/8/8/8/8/8/8/K3K3 w - - 0 1", "8/8/8/8/8/8/8/8 w KQkq - 0 1"}) {
        auto engine = EngineAt(fen, 3);
        for (const EngineMove& move : engine->LegalMoves()) EXPECT_FALSE(move.Flags & mfPawn) << fen;
        engine->ThinkMove();
        EXPECT_EQ(engine->Ply(), 0);
    }
}

TEST(EngineBoard, WithoutAKingTheSideIsNeverInCheck) {
    auto engine = EngineAt("r7/8/8/8/8/8/8/8 w - - 0 1");
    EXPECT_FALSE(engine->InCheck(ChessEngine::White));
}

TEST(EngineBoard, WithSeveralKingsTheFirstOneCounts) {
    // Kings on a1 and h1: a1 comes first in a8..h1 order.
    EXPECT_TRUE(EngineAt("r3k3/8/8/8/8/8/8/K6K w - - 0 1")->InCheck(ChessEngine::White));
    EXPECT_FALSE(EngineAt("4k2r/8/8/8/8/8/8/K6K w - - 0 1")->InCheck(ChessEngine::White));
}

TEST(EngineBoard, FastAttackTestAndGenerationOrderAgreeWithTheFrameWalk) {
    // Random play through varied positions: every square's attack answer and the order of the piece moves
    // must be those of scanning the squares and walking the direction tables, and the captures, promotions
    // and en-passant captures generated alone must be those among all moves, in the same order and scored
    // alike.
    std::mt19937 random(11);
    for (const std::string& fen : SamplePositions) {
        auto engine = EngineAt(fen);
        for (int ply = 0; ply < 40; ++ply) {
            for (int sq = 0; sq < 64; ++sq) {
                for (int by : {ChessEngine::White, ChessEngine::Black})
                    ASSERT_EQ(engine->IsAttacked(sq, by), engine->ReferenceIsAttacked(sq, by))
                        << sq << ' ' << by;
            }
            engine->GenerateMoves();
            std::vector<std::pair<int, int>> generated;
            for (int i = engine->FirstSlot(); i < engine->LastSlot(); ++i) {
                const EngineMove move = engine->Slot(i).Move;
                if (!(move.Flags & (mfPawn | mfCastle))) generated.emplace_back(move.From, move.To);
            }
            ASSERT_EQ(generated, engine->ReferencePieceMoves());
            auto key = [](const MoveEntry& entry) {
                return std::tuple(entry.Move.From, entry.Move.To, entry.Move.Promote, entry.Move.Flags,
                                  entry.Score);
            };
            std::vector<std::tuple<int, int, int, int, int>> captures;
            for (int i = engine->FirstSlot(); i < engine->LastSlot(); ++i)
                if (engine->Slot(i).Move.Flags & (mfCapture | mfPromotion))
                    captures.push_back(key(engine->Slot(i)));
            engine->GenerateCaptures();
            std::vector<std::tuple<int, int, int, int, int>> alone;
            for (int i = engine->FirstSlot(); i < engine->LastSlot(); ++i)
                alone.push_back(key(engine->Slot(i)));
            ASSERT_EQ(alone, captures) << fen;
            const std::vector<EngineMove> moves = engine->LegalMoves();
            if (moves.empty() || engine->Ply() >= 40) break;
            engine->DoMove(moves[random() % moves.size()]);
        }
    }
}

TEST(EngineBoard, PickingBringsUpTheFirstBestMoveOfTheRestInTurn) {
    // Random games with small random history scores, so that lists of every length hold groups of equal
    // scores: picking slot after slot over all moves and over the captures must give the entries of the
    // plain selection, which takes the first of the best-scored moves left and swaps it into the slot.
    std::mt19937 random(5);
    for (const std::string& fen : SamplePositions) {
        auto engine = EngineAt(fen);
        for (auto& row : engine->FHistoryScore)
            for (int& score : row) score = static_cast<int>(random() % 3);
        for (int ply = 0; ply < 40; ++ply) {
            for (bool captures : {false, true}) {
                if (captures)
                    engine->GenerateCaptures();
                else
                    engine->GenerateMoves();
                std::vector<MoveEntry> expected(&engine->Slot(engine->FirstSlot()),
                                                &engine->Slot(engine->FirstSlot()) +
                                                    (engine->LastSlot() - engine->FirstSlot()));
                for (std::size_t i = 0; i < expected.size(); ++i) {
                    std::size_t best = i;
                    for (std::size_t j = i + 1; j < expected.size(); ++j)
                        if (expected[j].Score > expected[best].Score) best = j;
                    std::swap(expected[i], expected[best]);
                }
                for (std::size_t i = 0; i < expected.size(); ++i) {
                    const int slot = engine->FirstSlot() + static_cast<int>(i);
                    engine->PickMove(slot);
                    ASSERT_EQ(engine->Slot(slot).Move, expected[i].Move)
                        << fen << " ply " << ply << " slot " << i;
                    ASSERT_EQ(engine->Slot(slot).Score, expected[i].Score);
                }
            }
            const std::vector<EngineMove> moves = engine->LegalMoves();
            if (moves.empty()) break;
            engine->DoMove(moves[random() % moves.size()]);
        }
    }
}

TEST(EngineBoard, LookBeforeTheMoveAndEvasionOrderAgreeWithMakingAndSelecting) {
    // Random games: the check and evaluation PeekMove finds must be those after making the move, and where
    // OrderEvasions gives an order it must be the order in which the selection over the whole list brings up
    // the moves MightEndCheck lets through. GenerateEvasionCandidates must give those moves but castling, and
    // where OrderCandidatesByScore gives an order, its legal moves must come in the selection's order, up to
    // the first tied move where it stops short.
    int orders = 0;
    int scoreOrders = 0;
    int tiedOrders = 0;
    ForRandomGames(
        6, 60, [&](EngineProbe& engine, const std::vector<EngineMove>& moves, const std::string& where) {
            for (const EngineMove& move : moves) {
                if ((move.Flags & (mfEnPassant | mfCastle)) || engine.PieceAt(move.To) == ChessEngine::King)
                    continue;
                int eval = 0;
                bool check = false;
                engine.PeekMove(move, eval, check);
                ASSERT_TRUE(engine.DoMove(move));
                ASSERT_EQ(check, engine.InCheck(engine.SideToMove()))
                    << where << ' ' << ChessEngine::MoveText(move);
                if (!check) {
                    ASSERT_EQ(eval, engine.Evaluate()) << where << ' ' << ChessEngine::MoveText(move);
                }
                engine.UndoMove();
            }
            if (engine.InCheck(engine.SideToMove())) {
                auto key = [](const MoveEntry& entry) {
                    return std::tuple(entry.Move.From, entry.Move.To, entry.Move.Promote, entry.Move.Flags,
                                      entry.Score);
                };
                auto legal = [&engine](EngineMove move) {
                    if (!engine.DoMove(move)) return false;
                    engine.UndoMove();
                    return true;
                };
                engine.NoteCheck(true);
                engine.GenerateEvasionCandidates();
                std::vector<std::tuple<int, int, int, int, int>> candidates;
                for (int i = engine.FirstSlot(); i < engine.LastSlot(); ++i)
                    candidates.push_back(key(engine.Slot(i)));
                std::array<int, EngineProbe::MaxOrderedEvasions> byScore;
                std::int32_t tieScore = 0;
                const int byScoreCount = engine.OrderCandidatesByScore(byScore, tieScore);
                std::vector<EngineMove> scoreOrder;
                for (int k = 0; k < byScoreCount; ++k) {
                    const EngineMove move = engine.Slot(byScore[k]).Move;
                    if (legal(move)) scoreOrder.push_back(move);
                }
                engine.GenerateEvasions();
                std::vector<std::tuple<int, int, int, int, int>> noted;
                for (int i = engine.FirstSlot(); i < engine.LastSlot(); ++i)
                    if (engine.MightEndCheck(engine.Slot(i).Move) && !(engine.Slot(i).Move.Flags & mfCastle))
                        noted.push_back(key(engine.Slot(i)));
                std::sort(candidates.begin(), candidates.end());
                std::sort(noted.begin(), noted.end());
                ASSERT_EQ(candidates, noted) << where;
                std::array<int, EngineProbe::MaxOrderedEvasions> order;
                const int count = engine.OrderEvasions(order);
                if (count >= 0) {
                    std::vector<EngineMove> fast;
                    for (int k = 0; k < count; ++k) fast.push_back(engine.Slot(order[k]).Move);
                    std::vector<EngineMove> selected;
                    for (int i = engine.FirstSlot(); i < engine.LastSlot(); ++i) {
                        engine.PickMove(i);
                        if (engine.MightEndCheck(engine.Slot(i).Move))
                            selected.push_back(engine.Slot(i).Move);
                    }
                    ASSERT_EQ(fast, selected) << where;
                    ++orders;
                }
                if (byScoreCount >= 0) {
                    engine.GenerateEvasions();
                    std::vector<EngineMove> selected;
                    for (int i = engine.FirstSlot(); i < engine.LastSlot(); ++i) {
                        engine.PickMove(i);
                        const EngineMove move = engine.Slot(i).Move;
                        if (engine.MightEndCheck(move) && legal(move)) {
                            // Where the order stops short, it stops at the first tied move.
                            if (selected.size() == scoreOrder.size() && tieScore != EngineProbe::NoTie) {
                                ASSERT_EQ(engine.Slot(i).Score, tieScore) << where;
                            }
                            selected.push_back(move);
                        }
                    }
                    if (tieScore != EngineProbe::NoTie) {
                        ASSERT_GT(selected.size(), scoreOrder.size()) << where;
                        selected.resize(scoreOrder.size());
                        ++tiedOrders;
                    }
                    ASSERT_EQ(scoreOrder, selected) << where;
                    ++scoreOrders;
                }
            }
        });
    EXPECT_GT(orders, 20);
    EXPECT_GT(scoreOrders, 20);
    EXPECT_GT(tiedOrders, 0);
}

TEST(EngineBoard, CaptureSearchAgreesWithThePlainOne) {
    // Random games, searched at every ply in three windows: the capture search with its look before the move,
    // its orders for checks and its moves counted without an order must give the score and the node count of
    // the plain one, which makes every move and brings each up by the selection over the whole list.
    int checks = 0;
    ForRandomGames(5, 40, [&](EngineProbe& engine, const std::vector<EngineMove>&, const std::string& where) {
        checks += engine.InCheck(engine.SideToMove()) ? 1 : 0;
        const int eval = engine.Evaluate();
        const std::pair<int, int> windows[] = {
            {-ChessEngine::Infinity, ChessEngine::Infinity}, {eval - 30, eval + 30}, {eval + 50, eval + 300}};
        for (const auto& [alpha, beta] : windows) {
            std::uint64_t plainNodes = 0;
            const int plain = engine.ReferenceQuiescence(alpha, beta, plainNodes);
            const std::uint64_t before = engine.QuiescenceNodes();
            ASSERT_EQ(engine.Quiescence(alpha, beta), plain) << where;
            ASSERT_EQ(engine.QuiescenceNodes() - before, plainNodes)
                << where << " window " << alpha << ' ' << beta;
        }
    });
    EXPECT_GT(checks, 5);
}

TEST(EngineBoard, MakeAndTakeBackRestoreEverything) {
    for (const std::string& fen : SamplePositions) {
        auto engine = EngineAt(fen);
        const EnginePosition before = engine->Position();
        const int evaluation = engine->Evaluate();
        for (const EngineMove& move : engine->LegalMoves()) {
            ASSERT_TRUE(engine->DoMove(move));
            engine->UndoMove();
            const EnginePosition after = engine->Position();
            ASSERT_EQ(after.Board, before.Board) << ChessEngine::MoveText(move);
            ASSERT_EQ(after.Castling, before.Castling);
            ASSERT_EQ(after.EnPassant, before.EnPassant);
            ASSERT_EQ(after.WhiteToMove, before.WhiteToMove);
            ASSERT_EQ(engine->Evaluate(), evaluation);
        }
    }
}
