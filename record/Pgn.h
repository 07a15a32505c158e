// Portable Game Notation: writing a record as one game, and reading the first game of a text into a
// record. The reader takes what real files hold: tag pairs, comments in braces and after semicolons,
// variations in parentheses (skipped, nested), NAGs and "!?" marks, move numbers with dots ("1..." for
// black, also joined to the move), the result token, castling with O or 0, several games in one text, CRLF
// line ends and a UTF-8 byte-order mark.
#pragma once

#include "GameRecord.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The Seven Tag Roster; Result comes from the record.
struct PgnRoster {
    std::string Event = "?";
    std::string Site = "?";
    std::string Date = "????.??.??";
    std::string Round = "?";
    std::string White = "?";
    std::string Black = "?";
};

// The game up to the record's current ply: the roster, SetUp and FEN when the record did not start from
// the initial position, the moves with their numbers ("N..." when black begins), and the result, in lines
// of at most 79 characters, each ended by "\n".
std::string WritePgn(const GameRecord& Record, const PgnRoster& Roster);

struct PgnError {
    enum class Kind {
        NotPgn,     // no game, or text that is not PGN
        BadSetUp,   // a FEN tag that cannot be read, or a position the rules cannot play
        NoSuchMove, // a move that is not legal in its position (or not written as a move)
        Ambiguous,  // a move that fits several legal moves
        GameOver    // a move after a threefold repetition, when the rules allow none
    };
    Kind What = Kind::NotPgn;
    // For the move errors: the number and side of the move, and its text as written.
    int MoveNumber = 0;
    bool White = true;
    std::string MoveText;
    // For the others: what was wrong, in English, for logs and tests.
    std::string Detail;
};

struct PgnGame {
    std::vector<std::pair<std::string, std::string>> Tags;
    GameRecord Record;
    // Where the text after this game begins: the next game, if any, is read from there.
    std::size_t End = 0;

    // The value of a tag, or nothing.
    std::optional<std::string> Tag(std::string_view Name) const;
};

struct PgnReadResult {
    std::optional<PgnGame> Game;
    PgnError Error; // when there is no game
};

// Reads the first game in Text.
PgnReadResult ReadPgn(std::string_view Text);
