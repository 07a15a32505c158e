// The PGN reader on text as real files hold it, on faulty moves (each named by its number and text) and on
// positions the rules cannot play; and FEN with its counters and the position check.
#include "Pgn.h"

#include <gtest/gtest.h>

namespace {

std::string SanLine(const GameRecord& Record) {
    std::string line;
    for (const RecordedMove& move : Record.Moves()) line += (line.empty() ? "" : " ") + move.San;
    return line;
}

std::string Replace(std::string Text, const std::string& From, const std::string& To) {
    for (std::size_t at = 0; (at = Text.find(From, at)) != std::string::npos; at += To.size())
        Text.replace(at, From.size(), To);
    return Text;
}

const std::string RuyLopez =
    "[Event \"Casual\"]\n[Site \"?\"]\n[Result \"*\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 *\n";

} // namespace

TEST(PgnReader, ReadsWhatRealFilesHold) {
    const struct {
        const char* Name;
        std::string Text;
        const char* Moves; // as the record writes them
    } cases[] = {
        {"tag pairs and plain moves", RuyLopez, "e4 e5 Nf3 Nc6 Bb5"},
        {"comments in braces and after semicolons",
         "1. e4 {the best (by test) ] [} e5 ; to the end ) ( ] {\n2. Nf3 {} Nc6 *", "e4 e5 Nf3 Nc6"},
        {"nested variations with comments inside",
         "1. e4 (1. d4 d5 (1... Nf6 2. c4 {a ) inside}) 2. c4) 1... e5 (1... c5 2. Nf3 (2. c3)) 2. Nf3 *",
         "e4 e5 Nf3"},
        {"NAGs and marks", "1. e4! $1 e5?! 2. Nf3!! $14 Nc6?? 3. Bb5!? += N *", "e4 e5 Nf3 Nc6 Bb5"},
        {"numbers joined to moves, black's numbers, ellipsis",
         "1.e4 1...e5 2.Nf3 2... Nc6 3\xE2\x80\xA6 3.Bb5 *", "e4 e5 Nf3 Nc6 Bb5"},
        {"castling with O and 0, long and short",
         "1. e4 e5 2. Nf3 Nc6 3. Bc4 Bc5 4. 0-0 d6 5. d3 Be6 6. Nc3 Qd7 7. Be3 O-O-O 8. a3 Kb8 *",
         "e4 e5 Nf3 Nc6 Bc4 Bc5 O-O d6 d3 Be6 Nc3 Qd7 Be3 O-O-O a3 Kb8"},
        {"castling with zeros on the queen side",
         "1. d4 d5 2. Nc3 Nc6 3. Bf4 Bf5 4. Qd2 Qd7 5. 0-0-0 0-0-0 *",
         "d4 d5 Nc3 Nc6 Bf4 Bf5 Qd2 Qd7 O-O-O O-O-O"},
        {"en passant for both sides, with and without its mark",
         "1. e4 Nf6 2. e5 d5 3. exd6 e.p. e5 4. d4 e4 5. f4 exf3 *", "e4 Nf6 e5 d5 exd6 e5 d4 e4 f4 exf3"},
        {"promotion with and without =",
         "[FEN \"8/P5kP/8/8/8/8/p6K/8 w - - 0 1\"]\n1. a8=Q a1Q 2. h8=Q+ Kg6 *", "a8=Q a1=Q h8=Q+ Kg6"},
        {"long forms and needless marks", "1. e2-e4 e7e5 2. Ng1f3 Nb8xc6 3. Bf1:b5 *", "e4 e5 Nf3 Nc6 Bb5"},
        {"disambiguation by file and rank",
         "[FEN \"6k1/8/8/8/R6R/8/R7/K7 w - - 0 1\"]\n1. Rhd4 Kh8 2. R2a3 Kg8 3. Ra4b4 *",
         "Rhd4 Kh8 R2a3 Kg8 Rab4"},
        {"result token ends the game", "1. e4 e5 1/2-1/2 2. Nf3 Nc6", "e4 e5"},
        {"no result token at the end of the text", "[Event \"x\"]\n1. e4 e5", "e4 e5"},
        {"escape lines", "% written by a program\n1. e4 e5\n%another\n2. Nf3 *", "e4 e5 Nf3"},
        {"CRLF line ends", Replace(RuyLopez, "\n", "\r\n"), "e4 e5 Nf3 Nc6 Bb5"},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF" + RuyLopez, "e4 e5 Nf3 Nc6 Bb5"},
        {"only tags: the start position", "[Event \"x\"]\n[White \"y\"]\n", ""},
    };
    for (const auto& c : cases) {
        const PgnReadResult read = ReadPgn(c.Text);
        ASSERT_TRUE(read.Game.has_value()) << c.Name << ": " << read.Error.Detail << read.Error.MoveText;
        EXPECT_EQ(SanLine(read.Game->Record), c.Moves) << c.Name;
        EXPECT_EQ(read.Game->Record.Ply(), read.Game->Record.Moves().size()) << c.Name;
    }
}

TEST(PgnReader, SeveralGamesAreReadOneAfterTheOther) {
    const std::string text = "[Event \"one\"]\n[White \"A \\\"B\\\" \\\\\"]\n\n1. d4 d5 1-0\n\n"
                             "[Event \"two\"]\n\n1. c4 0-1\n[Event \"three\"]\n[Event \"four\"]\n1. e4";
    const PgnReadResult first = ReadPgn(text);
    ASSERT_TRUE(first.Game.has_value());
    EXPECT_EQ(first.Game->Tag("Event"), "one");
    EXPECT_EQ(first.Game->Tag("White"), "A \"B\" \\");
    EXPECT_EQ(SanLine(first.Game->Record), "d4 d5");

    const std::string_view rest = std::string_view(text).substr(first.Game->End);
    const PgnReadResult second = ReadPgn(rest);
    ASSERT_TRUE(second.Game.has_value());
    EXPECT_EQ(second.Game->Tag("Event"), "two");
    EXPECT_EQ(SanLine(second.Game->Record), "c4");

    // A game without moves ends where its tag comes again.
    const PgnReadResult third = ReadPgn(rest.substr(second.Game->End));
    ASSERT_TRUE(third.Game.has_value());
    EXPECT_EQ(third.Game->Tag("Event"), "three");
    EXPECT_EQ(SanLine(third.Game->Record), "");
}

TEST(PgnReader, AFileOfManyTagsIsReadInOnePass) {
    // Each tag is looked up among those before it: a few megabytes of tags must not take minutes.
    constexpr int Count = 300000;
    std::string text;
    for (int i = 0; i < Count; ++i) text += "[T" + std::to_string(i) + " \"" + std::to_string(i) + "\"]\n";
    const std::size_t second = text.size();
    text += "[T7 \"again\"]\n1. e4 *\n";
    const PgnReadResult read = ReadPgn(text);
    ASSERT_TRUE(read.Game.has_value()) << read.Error.Detail;
    EXPECT_EQ(read.Game->Tags.size(), static_cast<std::size_t>(Count));
    EXPECT_EQ(read.Game->Tag("T299999"), "299999");
    EXPECT_EQ(read.Game->End, second);
}

TEST(PgnReader, AGameFromAPositionKeepsItsCountersAndBlacksFirstNumber) {
    const PgnReadResult read = ReadPgn("[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/4P3/4K3 b - - 7 31\"]\n\n"
                                       "31... Kd7 32. e4 Kd6 33. e5+ *");
    ASSERT_TRUE(read.Game.has_value()) << read.Error.Detail;
    const GameRecord& record = read.Game->Record;
    EXPECT_EQ(SanLine(record), "Kd7 e4 Kd6 e5+");
    EXPECT_EQ(record.Fen(), "8/8/3k4/4P3/8/8/8/4K3 b - - 0 33");
    EXPECT_EQ(record.NameMove(0, "Kd7"), "31... Kd7");
    EXPECT_EQ(record.NameMove(3, "e5+"), "33. e5+");
}

TEST(PgnReader, AFaultyMoveIsNamedByItsNumberAndText) {
    const struct {
        const char* Text;
        PgnError::Kind What;
        int Number;
        bool White;
        const char* Move;
    } cases[] = {
        {"1. e4 e5 2. Ke3 *", PgnError::Kind::NoSuchMove, 2, true, "Ke3"},
        {"1. e4 e5 2. Nf3 Nbd7 3. d4", PgnError::Kind::NoSuchMove, 2, false, "Nbd7"},
        {"[Event \"x\"]\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Nf3?! *", PgnError::Kind::NoSuchMove, 4, true,
         "Nf3"},
        {"1. e4 -- 2. d4", PgnError::Kind::NoSuchMove, 1, false, "--"},
        {"1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O hello", PgnError::Kind::NoSuchMove, 5, false,
         "hello"},
        {"1. e4 e5 2. e5", PgnError::Kind::NoSuchMove, 2, true, "e5"},
        {"1. e4 e5 2. e8=Q", PgnError::Kind::NoSuchMove, 2, true, "e8=Q"},
        {"1. e4 e5 2. O-O", PgnError::Kind::NoSuchMove, 2, true, "O-O"},
        {"[FEN \"8/8/1N3N2/8/8/8/8/4K2k w - - 0 1\"]\n1. Nd7", PgnError::Kind::Ambiguous, 1, true, "Nd7"},
        {"[FEN \"8/8/1N3N2/8/8/8/8/4K2k w - - 5 40\"]\n40. Nbd7 Kh2 41. Nd5 Kh1 42. Nd7+",
         PgnError::Kind::NoSuchMove, 42, true, "Nd7+"},
        {"1. Nf3 Nf6 2. Ng1 Ng8 3. Nf3 Nf6 4. Ng1 Ng8 5. Nf3 *", PgnError::Kind::GameOver, 5, true, "Nf3"},
    };
    for (const auto& c : cases) {
        const PgnReadResult read = ReadPgn(c.Text);
        ASSERT_FALSE(read.Game.has_value()) << c.Text;
        EXPECT_EQ(read.Error.What, c.What) << c.Text;
        EXPECT_EQ(read.Error.MoveNumber, c.Number) << c.Text;
        EXPECT_EQ(read.Error.White, c.White) << c.Text;
        EXPECT_EQ(read.Error.MoveText, c.Move) << c.Text;
    }
}

TEST(PgnReader, TextThatIsNoPgnAndImpossiblePositionsAreRefused) {
    const struct {
        std::string Text;
        PgnError::Kind What;
    } cases[] = {
        {"", PgnError::Kind::NotPgn},
        {"  \r\n\t ", PgnError::Kind::NotPgn},
        {"Dear friend, here is the game", PgnError::Kind::NotPgn},
        {"2024", PgnError::Kind::NotPgn},
        {"1. 2... 3.", PgnError::Kind::NotPgn},
        {"!? $1 (1. e4 e5)", PgnError::Kind::NotPgn},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0", 11), PgnError::Kind::NotPgn},
        {std::string("[Event \"x\"]\n\0\0 1. e4", 20), PgnError::Kind::NoSuchMove},
        {"[Gambitron Position]\nGameVersion=Gambitron Lite 1.1\n", PgnError::Kind::NotPgn},
        {"[Event \"x\"", PgnError::Kind::NotPgn},
        {"[Event x]", PgnError::Kind::NotPgn},
        {"1. e4 { never closed", PgnError::Kind::NotPgn},
        {"1. e4 ) e5", PgnError::Kind::NotPgn},
        {"1. e4 (1. d4 d5", PgnError::Kind::NotPgn},
        {"1. e4 e5 ] 2. Nf3", PgnError::Kind::NotPgn},
        {"1. e4 (e5 [Event \"x\"]) e5", PgnError::Kind::NotPgn},
        {"[FEN \"not a position\"]\n1. e4", PgnError::Kind::BadSetUp},
        {"[FEN \"4k3/8/8/8/8/8/8/4KK2 w - - 0 1\"]\n*", PgnError::Kind::BadSetUp},
        {"[FEN \"8/8/8/8/8/8/8/4K3 w - - 0 1\"]\n*", PgnError::Kind::BadSetUp},
        {"[FEN \"P3k3/8/8/8/8/8/8/4K3 w - - 0 1\"]\n*", PgnError::Kind::BadSetUp},
        {"[FEN \"4k3/8/8/8/8/8/8/4K2r b - - 0 1\"]\n*", PgnError::Kind::BadSetUp},
        {"[FEN \"4k3/8/8/3pP3/8/8/8/4K3 w - e6 0 1\"]\n*", PgnError::Kind::BadSetUp},
        {"[FEN \"4k3/8/8/4K3/8/8/8/8 w - e6 0 1\"]\n*", PgnError::Kind::BadSetUp},
    };
    for (const auto& c : cases) {
        const PgnReadResult read = ReadPgn(c.Text);
        EXPECT_FALSE(read.Game.has_value()) << c.Text;
        EXPECT_EQ(read.Error.What, c.What) << c.Text << ": " << read.Error.Detail;
    }
}

TEST(PgnReader, UnderpromotionIsReadAsWritten) {
    // The record keeps the piece; the windows, whose board always makes a queen, refuse it by name.
    const PgnReadResult read = ReadPgn("[FEN \"8/P6k/8/8/8/8/8/K7 w - - 0 1\"]\n1. a8=N Kg6 2. Nb6 *");
    ASSERT_TRUE(read.Game.has_value());
    EXPECT_EQ(read.Game->Record.Moves()[0].Promotion, 'N');
    EXPECT_EQ(SanLine(read.Game->Record), "a8=N Kg6 Nb6");
}

TEST(Fen, CountersAreReadWrittenAndKeptOutOfThePosition) {
    const struct {
        const char* Text;
        const char* Written;
    } cases[] = {
        {"4k3/8/8/8/3Pp3/8/8/4K2R b Kq d3 12 40", "4k3/8/8/8/3Pp3/8/8/4K2R b Kq d3 12 40"},
        {"4k3/8/8/8/8/8/8/4K3 w - -", "4k3/8/8/8/8/8/8/4K3 w - - 0 1"},
        {"4k3/8/8/8/8/8/8/4K3 w - - 3", "4k3/8/8/8/8/8/8/4K3 w - - 3 1"},
        {"  4k3/8/8/8/8/8/8/4K3   w - - 0 0\r\n", "4k3/8/8/8/8/8/8/4K3 w - - 0 1"},
    };
    for (const auto& c : cases) {
        GameSetup setup;
        std::string error;
        ASSERT_TRUE(ParseFen(c.Text, setup, error)) << c.Text << ": " << error;
        EXPECT_EQ(FormatFen(setup), c.Written);
        EXPECT_EQ(GameRecord(setup).Fen(), c.Written);
    }
}

TEST(Fen, OnlyPositionsTheRulesCanPlayPassTheCheck) {
    const struct {
        const char* Fen;
        bool Playable;
    } cases[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", true},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", true},
        {"4k3/8/8/8/3Pp3/8/8/4K3 b - d3 0 1", true},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - e6 0 1", false},   // no black pawn passed e6
        {"4k3/8/3p4/4P3/8/8/8/4K3 w - d6 0 1", false},  // the square itself is taken
        {"4k3/3n4/8/3pP3/8/8/8/4K3 w - d6 0 1", false}, // the pawn's starting square is taken
        {"4k3/8/8/8/3Pp3/8/3N4/4K3 b - d3 0 1", false},
        {"4k3/8/8/8/8/8/8/8 w - - 0 1", false},
        {"4k3/4k3/8/8/8/8/8/4K3 w - - 0 1", false},
        {"4k3/8/8/8/8/8/8/4K2p w - - 0 1", false},
        {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", true},
        {"R3k3/8/8/8/8/8/8/4K3 w - - 0 1", false}, // black, not to move, in check
    };
    for (const auto& c : cases) {
        GameSetup setup;
        std::string error;
        ASSERT_TRUE(ParseFen(c.Fen, setup, error)) << c.Fen;
        EXPECT_EQ(IsPlayableSetup(setup, error), c.Playable) << c.Fen << ": " << error;
    }
}
