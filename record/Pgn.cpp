// PGN: the writer, and the reader's scanner over tags, comments, variations, numbers, marks and moves.
#include "Pgn.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <unordered_set>

namespace {

constexpr std::size_t MaxLine = 79;
constexpr std::string_view Bom = "\xEF\xBB\xBF";
constexpr std::string_view Ellipsis = "\xE2\x80\xA6"; // "…", which some programs write for "..."

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Characters that end a move token: the starts of the other kinds of element.
bool EndsToken(char c) {
    return IsSpace(c) || std::string_view("{}()[];$").find(c) != std::string_view::npos;
}

bool IsResult(std::string_view Token) {
    return Token == "1-0" || Token == "0-1" || Token == "1/2-1/2" || Token == "*" ||
           Token == "\xC2\xBD-\xC2\xBD"; // "½-½"
}

// Evaluation and move marks that stand on their own between moves.
bool IsMark(std::string_view Token) {
    // "N" marks a novelty; the last three are the infinity and plus-minus signs in UTF-8.
    static constexpr std::string_view marks[] = {
        "!",   "?",   "!!", "!?", "?!",   "??", "+-", "-+",           "=",        "+/-",         "-/+",
        "+/=", "=/+", "+=", "=+", "e.p.", "ep", "N",  "\xE2\x88\x9E", "\xC2\xB1", "\xE2\x88\x93"};
    return std::find(std::begin(marks), std::end(marks), Token) != std::end(marks);
}

std::string Escape(std::string_view Value) {
    std::string text;
    for (char c : Value) {
        if (c == '\\' || c == '"') text += '\\';
        text += c == '\n' || c == '\r' ? ' ' : c;
    }
    return text;
}

// Lays out movetext tokens in lines of at most MaxLine characters.
class LineWriter {
public:
    void Add(const std::string& Token) {
        if (!FLine.empty() && FLine.size() + 1 + Token.size() > MaxLine) Flush();
        if (!FLine.empty()) FLine += ' ';
        FLine += Token;
    }
    std::string Finish() {
        Flush();
        return std::move(FText);
    }

private:
    void Flush() {
        if (FLine.empty()) return;
        FText += FLine + '\n';
        FLine.clear();
    }
    std::string FText;
    std::string FLine;
};

class Reader {
public:
    explicit Reader(std::string_view Text) : FText(Text) {
        if (FText.substr(0, Bom.size()) == Bom) FPos = Bom.size();
    }

    PgnReadResult Read() {
        PgnReadResult result;
        if (!Scan(result.Error)) return result;
        // Numbers, marks and variations alone are no game: a pasted "2024" or "!" must not start one.
        if (FTags.empty() && !FMoveOrResult) {
            result.Error = Fault(PgnError::Kind::NotPgn, "no game in the text");
            return result;
        }
        if (!FRecord && !MakeRecord(result.Error)) return result;
        result.Game = PgnGame{std::move(FTags), std::move(*FRecord), FPos};
        return result;
    }

private:
    static PgnError Fault(PgnError::Kind What, std::string Detail) {
        PgnError error;
        error.What = What;
        error.Detail = std::move(Detail);
        return error;
    }

    bool AtEnd() const { return FPos >= FText.size(); }
    char Peek() const { return FText[FPos]; }

    void SkipLine() {
        while (!AtEnd() && Peek() != '\n') ++FPos;
    }

    // Scans elements up to the end of the first game; false with Error set on a fault.
    bool Scan(PgnError& Error) {
        bool lineStart = true;
        while (!AtEnd()) {
            const char c = Peek();
            if (IsSpace(c)) {
                lineStart = c == '\n';
                ++FPos;
                continue;
            }
            if (c == '%' && lineStart) {
                SkipLine();
                continue;
            }
            lineStart = false;
            switch (c) {
            case '[': {
                const std::size_t start = FPos;
                std::string name, value;
                if (FDepth > 0) {
                    Error = Fault(PgnError::Kind::NotPgn, "a tag inside a variation");
                    return false;
                }
                if (!ReadTag(name, value)) {
                    Error = Fault(PgnError::Kind::NotPgn, "a tag pair that is not closed");
                    return false;
                }
                // Tags after the moves, or a tag given twice, begin the next game.
                if (FMovetext || FTagNames.contains(name)) {
                    FPos = start;
                    return true;
                }
                FTagNames.insert(name);
                FTags.emplace_back(std::move(name), std::move(value));
                break;
            }
            case '{': {
                const std::size_t close = FText.find('}', FPos);
                if (close == std::string_view::npos) {
                    Error = Fault(PgnError::Kind::NotPgn, "a comment that is not closed");
                    return false;
                }
                FPos = close + 1;
                break;
            }
            case ';':
                SkipLine();
                break;
            case '(':
                FMovetext = true;
                ++FDepth;
                ++FPos;
                break;
            case ')':
                if (FDepth == 0) {
                    Error = Fault(PgnError::Kind::NotPgn, "a variation closed that was not opened");
                    return false;
                }
                --FDepth;
                ++FPos;
                break;
            case '$':
                ++FPos;
                while (!AtEnd() && IsDigit(Peek())) ++FPos;
                break;
            case ']':
            case '}':
                Error = Fault(PgnError::Kind::NotPgn, std::string("a stray '") + c + "'");
                return false;
            default: {
                const std::size_t start = FPos;
                while (!AtEnd() && !EndsToken(Peek())) ++FPos;
                bool gameEnds = false;
                if (!Token(FText.substr(start, FPos - start), gameEnds, Error)) return false;
                if (gameEnds) return true;
                break;
            }
            }
        }
        if (FDepth > 0) {
            Error = Fault(PgnError::Kind::NotPgn, "a variation that is not closed");
            return false;
        }
        return true;
    }

    // [Name "Value"], with \" and \\ inside the value.
    bool ReadTag(std::string& Name, std::string& Value) {
        ++FPos;
        auto skipSpace = [this] {
            while (!AtEnd() && IsSpace(Peek())) ++FPos;
        };
        skipSpace();
        while (!AtEnd() && (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '_'))
            Name += FText[FPos++];
        skipSpace();
        if (Name.empty() || AtEnd() || Peek() != '"') return false;
        ++FPos;
        for (;;) {
            if (AtEnd()) return false;
            char c = FText[FPos++];
            if (c == '"') break;
            if (c == '\\' && !AtEnd()) c = FText[FPos++];
            Value += c;
        }
        skipSpace();
        if (AtEnd() || Peek() != ']') return false;
        ++FPos;
        return true;
    }

    // One token of movetext: a result, a move number, a mark or a move.
    bool Token(std::string_view Text, bool& GameEnds, PgnError& Error) {
        FMovetext = true;
        if (IsResult(Text)) {
            GameEnds = FDepth == 0;
            FMoveOrResult = FMoveOrResult || GameEnds;
            return true;
        }
        // A move number, "12.", "12..." or "12…", perhaps with the move joined to it.
        if (IsDigit(Text.front()) && Text.substr(0, 2) != "0-") {
            std::size_t i = 0;
            while (i < Text.size() && IsDigit(Text[i])) ++i;
            bool dots = false;
            for (;;) {
                if (i < Text.size() && Text[i] == '.') {
                    ++i;
                } else if (Text.substr(i, Ellipsis.size()) == Ellipsis) {
                    i += Ellipsis.size();
                } else {
                    break;
                }
                dots = true;
            }
            if (dots || i == Text.size()) Text.remove_prefix(i);
            if (Text.empty()) return true;
        }
        if (FDepth > 0 || IsMark(Text)) return true;
        FMoveOrResult = true;
        return Move(Text, Error);
    }

    bool MakeRecord(PgnError& Error) {
        GameSetup setup = StandardSetup();
        const auto fen =
            std::find_if(FTags.begin(), FTags.end(), [](const auto& tag) { return tag.first == "FEN"; });
        if (fen != FTags.end()) {
            std::string why;
            if (!ParseFen(fen->second, setup, why) || !IsPlayableSetup(setup, why)) {
                Error = Fault(PgnError::Kind::BadSetUp, why);
                return false;
            }
        }
        FRecord.emplace(setup);
        return true;
    }

    bool Move(std::string_view Text, PgnError& Error) {
        if (!FRecord && !MakeRecord(Error)) return false;
        const SanMatch match = FRecord->Find(Text);
        if (match.Result == SanMatch::Status::Found && FRecord->Play(match.From, match.To, match.Promotion))
            return true;
        // Rubbish before any tag or move is no PGN at all; later it is a move that cannot be played.
        if (match.Result == SanMatch::Status::NotSan && FTags.empty() && FRecord->Moves().empty()) {
            Error = Fault(PgnError::Kind::NotPgn, "text that is not a move: " + std::string(Text));
            return false;
        }
        switch (match.Result) {
        case SanMatch::Status::Ambiguous:
            Error.What = PgnError::Kind::Ambiguous;
            break;
        case SanMatch::Status::GameOver:
            Error.What = PgnError::Kind::GameOver;
            break;
        default:
            Error.What = PgnError::Kind::NoSuchMove;
            break;
        }
        while (!Text.empty() && (Text.back() == '!' || Text.back() == '?')) Text.remove_suffix(1);
        Error.MoveNumber = FRecord->MoveNumberAt(FRecord->Ply());
        Error.White = FRecord->WhiteMovesAt(FRecord->Ply());
        Error.MoveText = std::string(Text);
        return false;
    }

    std::string_view FText;
    std::size_t FPos = 0;
    int FDepth = 0;
    bool FMovetext = false;
    bool FMoveOrResult = false; // of the game itself, not of a variation
    std::vector<std::pair<std::string, std::string>> FTags;
    // The names in FTags, so that a text of many tags is read in linear time.
    std::unordered_set<std::string> FTagNames;
    std::optional<GameRecord> FRecord;
};

} // namespace

std::optional<std::string> PgnGame::Tag(std::string_view Name) const {
    for (const auto& [name, value] : Tags)
        if (name == Name) return value;
    return std::nullopt;
}

std::string WritePgn(const GameRecord& Record, const PgnRoster& Roster) {
    const std::string result = Record.Result();
    std::string text;
    const std::pair<const char*, const std::string*> roster[] = {
        {"Event", &Roster.Event}, {"Site", &Roster.Site},   {"Date", &Roster.Date}, {"Round", &Roster.Round},
        {"White", &Roster.White}, {"Black", &Roster.Black}, {"Result", &result}};
    for (const auto& [name, value] : roster)
        text += std::string("[") + name + " \"" + Escape(*value) + "\"]\n";
    if (!(Record.Start() == StandardSetup()))
        text += "[SetUp \"1\"]\n[FEN \"" + FormatFen(Record.Start()) + "\"]\n";
    text += '\n';

    LineWriter lines;
    for (std::size_t ply = 0; ply < Record.Ply(); ++ply) {
        const bool white = Record.WhiteMovesAt(ply);
        if (white || ply == 0) lines.Add(std::to_string(Record.MoveNumberAt(ply)) + (white ? "." : "..."));
        lines.Add(Record.Moves()[ply].San);
    }
    lines.Add(result);
    return text + lines.Finish();
}

PgnReadResult ReadPgn(std::string_view Text) {
    return Reader(Text).Read();
}
