// Reading and writing FEN: valid records round-trip, faulty ones are refused with a reason and change
// nothing.
#include "Fen.h"

#include <gtest/gtest.h>

TEST(EngineFen, StartPositionReadsAndWritesBack) {
    EnginePosition position;
    std::string error;
    ASSERT_TRUE(ParseFen(StartFen, position, error)) << error;
    EXPECT_EQ(std::string(position.Board.begin(), position.Board.end()),
              "rnbqkbnrpppppppp" + std::string(32, ' ') + "PPPPPPPPRNBQKBNR");
    EXPECT_TRUE(position.WhiteToMove);
    EXPECT_EQ(position.Castling, CastleSet::All());
    EXPECT_EQ(position.EnPassant, None);
    EXPECT_EQ(FormatFen(position), StartFen);
}

TEST(EngineFen, FieldsAreRead) {
    EnginePosition position;
    std::string error;
    ASSERT_TRUE(ParseFen("4k3/8/8/8/3Pp3/8/8/4K2R b Kq d3", position, error)) << error;
    EXPECT_FALSE(position.WhiteToMove);
    EXPECT_EQ(position.Castling.Bits, (1u << WhiteKingSide) | (1u << BlackQueenSide));
    EXPECT_EQ(position.EnPassant, D3);
    EXPECT_EQ(position.Board[H1 - 1], 'R');
    EXPECT_EQ(FormatFen(position), "4k3/8/8/8/3Pp3/8/8/4K2R b Kq d3 0 1");
}

TEST(EngineFen, FaultyRecordsAreRefusedAndChangeNothing) {
    const struct {
        const char* Fen;
        const char* Reason;
    } cases[] = {
        {"", "fields"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq", "fields"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP w KQkq - 0 1", "ranks"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/8 w KQkq - 0 1", "more than 8 ranks"},
        {"rnbqkbnr/ppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "rank 7"},
        {"rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "'9'"},
        {"rnbqkbnr/pppppppp/54/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "more than 8 squares"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNRR w KQkq - 0 1", "more than 8 squares"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w KQkq - 0 1", "'X'"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq - 0 1", "side to move"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkk - 0 1", "twice"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQxq - 0 1", "castling"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e3 0 1", "rank 6"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq z9 0 1", "not a square"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - x 1", "not a number"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1 extra", "fields"},
    };
    for (const auto& c : cases) {
        EnginePosition position;
        position.SearchDepth = 5;
        const EnginePosition before = position;
        std::string error;
        EXPECT_FALSE(ParseFen(c.Fen, position, error)) << c.Fen;
        EXPECT_NE(error.find(c.Reason), std::string::npos) << c.Fen << " gave: " << error;
        EXPECT_EQ(position.Board, before.Board) << c.Fen;
        EXPECT_EQ(position.SearchDepth, 5);
    }
}
