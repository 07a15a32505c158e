// Games the engine plays against itself, recorded, written as PGN and read back: the record follows the
// engine's own board move by move, and the text gives back the same positions and the same SAN.
#include "ChessEngine.h"
#include "ChessEngineBenchSuite.h"
#include "ChessGame.h"
#include "Pgn.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace {

// The first Count fields of a FEN.
std::string Fields(const std::string& Fen, int Count) {
    std::istringstream in(Fen);
    std::string field, text;
    for (int i = 0; i < Count && in >> field; ++i) text += (i ? " " : "") + field;
    return text;
}

Square ToSquare(int EngineSquare) {
    return FromEngineSquare(EngineSquare);
}

} // namespace

TEST(RecordRoundTrip, SelfPlayFromTheBenchPositionsComesBackFromPgnPositionByPosition) {
    constexpr int HalfMoves = 40;
    int playedPlies = 0, promotions = 0, captures = 0;
    for (std::string_view fen : BenchPositions) {
        SCOPED_TRACE(std::string(fen));
        GameSetup start;
        std::string error;
        ASSERT_TRUE(ParseFen(fen, start, error)) << error;
        ASSERT_TRUE(IsPlayableSetup(start, error)) << error;
        GameRecord record(start);
        EXPECT_EQ(record.Fen(), std::string(fen));

        auto engine = std::make_unique<ChessEngine>();
        EnginePosition position = start.Position;
        int clock = start.HalfmoveClock;
        std::vector<std::string> fens{record.Fen()};
        for (int ply = 0; ply < HalfMoves; ++ply) {
            position.SearchDepth = 2;
            engine->SetRoot(position);
            engine->ThinkMove();
            if (!engine->HasBestMove()) break;
            const EngineMove move = engine->BestMove();
            engine->ReadBoard();
            const std::optional<EnginePosition> next = engine->PositionAfter(move);
            ASSERT_TRUE(next.has_value());
            const char promotion = (move.Flags & mfPromotion) ? "PNBRQK"[move.Promote] : 0;
            if (!record.Play(ToSquare(move.From), ToSquare(move.To), promotion)) {
                // The engine keeps no draw rules; the board refuses every move after a threefold repetition.
                EXPECT_EQ(record.Result(), "1/2-1/2") << "refused " << ChessEngine::MoveText(move);
                break;
            }
            position = *next;
            // The counters by the engine's own account of the move.
            clock = (move.Flags & (mfPawn | mfCapture)) ? 0 : clock + 1;
            promotions += promotion != 0;
            captures += (move.Flags & mfCapture) != 0;
            EXPECT_EQ(Fields(record.Fen(), 4), Fields(FormatFen(position), 4)) << "after ply " << ply;
            EXPECT_EQ(record.Current().HalfmoveClock, clock) << "after ply " << ply;
            fens.push_back(record.Fen());
        }
        playedPlies += static_cast<int>(record.Moves().size());

        const std::string pgn = WritePgn(record, PgnRoster{});
        PgnReadResult read = ReadPgn(pgn);
        ASSERT_TRUE(read.Game.has_value()) << read.Error.Detail << read.Error.MoveText << "\n" << pgn;
        GameRecord back = std::move(read.Game->Record);
        ASSERT_EQ(back.Moves().size(), record.Moves().size()) << pgn;
        EXPECT_EQ(back.Start(), record.Start());
        for (std::size_t ply = 0; ply < fens.size(); ++ply) {
            ASSERT_TRUE(back.GoTo(ply));
            EXPECT_EQ(back.Fen(), fens[ply]) << "at ply " << ply << "\n" << pgn;
            if (ply < record.Moves().size()) {
                EXPECT_EQ(back.Moves()[ply].San, record.Moves()[ply].San);
                EXPECT_EQ(back.Moves()[ply].Promotion, record.Moves()[ply].Promotion);
            }
        }
        EXPECT_EQ(WritePgn(back, PgnRoster{}), pgn);
        // Tag lines are as long as their values; the moves are laid out in lines of at most 79.
        std::istringstream lines(pgn);
        for (std::string line; std::getline(lines, line);)
            if (line.rfind('[', 0) != 0) {
                EXPECT_LE(line.size(), 79u) << line;
            }
    }
    EXPECT_GT(playedPlies, static_cast<int>(BenchPositions.size()) * HalfMoves / 2);
    EXPECT_GT(captures, 0);
    RecordProperty("Plies", playedPlies);
    RecordProperty("Promotions", promotions);
}

TEST(RecordRoundTrip, ABoardsHistoryRebuildsTheGameAndFollowsTakeBackAndReplay) {
    ChessGame board;
    board.NewGame();
    const Square moves[][2] = {{E2, E4}, {E7, E5}, {G1, F3}, {B8, C6}, {F1, B5}, {A7, A6}};
    for (const auto& m : moves) ASSERT_TRUE(board.PerformMove(m[0], m[1]));

    GameRecord record = GameRecord::FromHistory(board, 1, true, StandardSetup());
    ASSERT_EQ(record.Moves().size(), 6u);
    EXPECT_EQ(record.Ply(), 6u);
    EXPECT_EQ(record.Moves()[4].San, "Bb5");
    EXPECT_EQ(WritePgn(record, PgnRoster{}).substr(WritePgn(record, PgnRoster{}).find("\n\n") + 2),
              "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *\n");

    // Two half-moves back: the record keeps the later moves but stands where the board stands.
    ASSERT_TRUE(board.GotoMove(3, true));
    record = GameRecord::FromHistory(board, 1, true, StandardSetup());
    EXPECT_EQ(record.Moves().size(), 6u);
    EXPECT_EQ(record.Ply(), 4u);
    EXPECT_EQ(record.Fen(), "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3");

    // A different move from there replaces the rest, on the board and in the record.
    ASSERT_TRUE(board.PerformMove(F1, C4));
    record = GameRecord::FromHistory(board, 1, true, StandardSetup());
    ASSERT_EQ(record.Moves().size(), 5u);
    EXPECT_EQ(record.Moves().back().San, "Bc4");
}

TEST(RecordRoundTrip, AGameThatBeganWithBlackKeepsItsNumbersAndStartPosition) {
    GameSetup start;
    std::string error;
    ASSERT_TRUE(ParseFen("4k3/8/8/8/8/8/4P3/4K3 b - - 7 31", start, error));
    ChessGame board;
    board.NewGameFrom(start.Position);
    ASSERT_TRUE(board.PerformMove(E8, D7));
    ASSERT_TRUE(board.PerformMove(E2, E4));
    const GameRecord record = GameRecord::FromHistory(board, 1, false, start);
    EXPECT_EQ(record.Start(), start);
    EXPECT_EQ(record.Fen(), "8/3k4/8/8/4P3/8/8/4K3 b - e3 0 32");
    const std::string pgn = WritePgn(record, PgnRoster{});
    EXPECT_NE(pgn.find("[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/4P3/4K3 b - - 7 31\"]\n"), std::string::npos);
    EXPECT_NE(pgn.find("\n31... Kd7 32. e4 *\n"), std::string::npos) << pgn;
}

TEST(RecordRoundTrip, TheWriterEscapesTagsAndGivesTheResultOfTheCurrentPosition) {
    GameRecord record;
    const Square knights[][2] = {{G1, F3}, {G8, F6}, {F3, G1}, {F6, G8}};
    for (int i = 0; i < 2; ++i)
        for (const auto& m : knights) ASSERT_TRUE(record.Play(m[0], m[1]));
    // The initial position for the third time: the rules allow nothing more.
    EXPECT_EQ(record.Result(), "1/2-1/2");
    EXPECT_FALSE(record.Play(G1, F3));
    EXPECT_EQ(record.Find("Nf3").Result, SanMatch::Status::GameOver);
    ASSERT_TRUE(record.GoTo(7));
    EXPECT_EQ(record.Result(), "*");

    PgnRoster roster;
    roster.White = "Игрок \"один\" \\ два";
    const std::string pgn = WritePgn(record, roster);
    EXPECT_NE(pgn.find("[White \"Игрок \\\"один\\\" \\\\ два\"]\n"), std::string::npos) << pgn;
    EXPECT_NE(pgn.find("[Result \"*\"]\n"), std::string::npos) << pgn;
    EXPECT_NE(pgn.find("\n\n1. Nf3 Nf6 2. Ng1 Ng8 3. Nf3 Nf6 4. Ng1 *\n"), std::string::npos) << pgn;
    const PgnReadResult read = ReadPgn(pgn);
    ASSERT_TRUE(read.Game.has_value());
    EXPECT_EQ(read.Game->Tag("White"), roster.White);
    EXPECT_EQ(read.Game->Record.Moves().size(), 7u);
}

TEST(RecordRoundTrip, MateAndStalemateGiveTheirResults) {
    const struct {
        const char* Fen;
        Square From, To;
        const char* San;
        const char* Result;
    } cases[] = {
        {"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", A1, A8, "Ra8#", "1-0"},
        {"r5k1/8/8/8/8/8/5PPP/6K1 b - - 0 1", A8, A1, "Ra1#", "0-1"},
        {"7k/8/6Q1/8/8/8/8/K7 w - - 0 1", G6, F7, "Qf7", "1/2-1/2"},
        {"7k/8/8/8/8/8/8/K5Q1 w - - 0 1", G1, C5, "Qc5", "*"},
    };
    for (const auto& c : cases) {
        GameSetup start;
        std::string error;
        ASSERT_TRUE(ParseFen(c.Fen, start, error)) << error;
        GameRecord record(start);
        ASSERT_TRUE(record.Play(c.From, c.To)) << c.Fen;
        EXPECT_EQ(record.Moves().back().San, c.San) << c.Fen;
        EXPECT_EQ(record.Result(), c.Result) << c.Fen;
    }
}
