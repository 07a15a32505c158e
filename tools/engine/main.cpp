// gambitron-engine: the built-in engine behind the UCI protocol on standard input and output, so that it can
// be checked against other engines and used from other chess programs. Searches run synchronously: a "stop"
// that arrives during a search is read after it.
#include "ChessEngine.h"
#include "ChessEngineBenchSuite.h"
#include "Fen.h"

#include <chrono>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int DefaultDepth = 6;
constexpr int MaxPerftDepth = 10;

std::vector<std::string> Tokens(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> tokens;
    for (std::string token; stream >> token;) tokens.push_back(token);
    return tokens;
}

std::optional<int> ParseNumber(const std::string& text, int low, int high) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) return std::nullopt;
    return value;
}

std::optional<int> ParseSquare(const std::string& text, std::size_t at) {
    const char file = text[at];
    const char rank = text[at + 1];
    if (file < 'a' || file > 'h' || rank < '1' || rank > '8') return std::nullopt;
    return ('8' - rank) * 8 + (file - 'a');
}

std::uint64_t Nps(std::uint64_t nodes, double seconds) {
    return seconds > 0 ? static_cast<std::uint64_t>(static_cast<double>(nodes) / seconds) : 0;
}

class UciFrontEnd {
public:
    UciFrontEnd() { ResetEngine(); }

    // Handles one input line; false when the program should end.
    bool Handle(const std::string& line) {
        const std::vector<std::string> tokens = Tokens(line);
        if (tokens.empty()) return true;
        const std::string& command = tokens[0];
        if (command == "quit") return false;
        if (command == "uci") {
            std::cout << "id name Gambitron\nid author The Gambitron developers\n"
                      << "option name Depth type spin default " << DefaultDepth << " min " << MinSearchDepth
                      << " max " << MaxSearchDepth << "\nuciok\n";
        } else if (command == "isready") {
            std::cout << "readyok\n";
        } else if (command == "ucinewgame") {
            const int depth = FPosition.SearchDepth;
            FPosition = StartPosition();
            FPosition.SearchDepth = depth;
            ResetEngine();
        } else if (command == "position") {
            HandlePosition(tokens);
        } else if (command == "go") {
            HandleGo(tokens);
        } else if (command == "setoption") {
            HandleSetOption(tokens);
        } else if (command == "bench") {
            HandleBench(tokens);
        } else if (command == "stop" || command == "ponderhit") {
            // Searches are synchronous: by the time this is read there is nothing left to stop.
        } else {
            Error("unknown command '" + command + "'");
        }
        std::cout.flush();
        return true;
    }

private:
    static EnginePosition StartPosition() {
        EnginePosition position;
        std::string error;
        ParseFen(StartFen, position, error);
        return position;
    }

    static void Error(const std::string& text) { std::cout << "info string error: " << text << '\n'; }

    void ResetEngine() {
        FEngine = std::make_unique<ChessEngine>();
        FEngine->OnIteration = [this](const IterationReport& report) { PrintIteration(report); };
    }

    void PrintIteration(const IterationReport& report) {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - FStart).count();
        std::cout << "info depth " << report.Depth << " score ";
        const int mateDistance = ChessEngine::Infinity - (report.Score < 0 ? -report.Score : report.Score);
        if (mateDistance < ChessEngine::MaxPly) {
            const int moves = (mateDistance + 1) / 2;
            std::cout << "mate " << (report.Score < 0 ? -moves : moves);
        } else {
            std::cout << "cp " << report.Score;
        }
        std::cout << " nodes " << report.Nodes << " nps " << Nps(report.Nodes, seconds) << " time "
                  << static_cast<long long>(seconds * 1000) << " pv";
        for (int i = 0; i < report.PvLength; ++i) std::cout << ' ' << ChessEngine::MoveText(report.Pv[i]);
        std::cout << '\n' << std::flush;
    }

    // position startpos|fen <fields> [moves <m1> <m2> ...]; any fault leaves the current position unchanged.
    void HandlePosition(const std::vector<std::string>& tokens) {
        std::size_t i = 1;
        EnginePosition position = StartPosition();
        position.SearchDepth = FPosition.SearchDepth;
        if (i < tokens.size() && tokens[i] == "startpos") {
            ++i;
        } else if (i < tokens.size() && tokens[i] == "fen") {
            ++i;
            std::string fen;
            for (; i < tokens.size() && tokens[i] != "moves"; ++i) fen += tokens[i] + ' ';
            std::string error;
            if (!ParseFen(fen, position, error)) {
                Error(error);
                return;
            }
        } else {
            Error("position needs 'startpos' or 'fen <FEN>'");
            return;
        }
        if (i < tokens.size()) {
            if (tokens[i] != "moves") {
                Error("expected 'moves', got '" + tokens[i] + "'");
                return;
            }
            for (++i; i < tokens.size(); ++i) {
                std::string error;
                if (!ApplyMove(position, tokens[i], error)) {
                    Error("move '" + tokens[i] + "': " + error + "; position unchanged");
                    return;
                }
            }
        }
        FPosition = position;
    }

    // Plays one coordinate move (e2e4, e7e8q) if it is legal in the position.
    bool ApplyMove(EnginePosition& position, const std::string& text, std::string& error) {
        if (text.size() != 4 && text.size() != 5) {
            error = "not a move in coordinate notation";
            return false;
        }
        const std::optional<int> from = ParseSquare(text, 0);
        const std::optional<int> to = ParseSquare(text, 2);
        int promote = 0;
        if (text.size() == 5) {
            const std::string pieces = "nbrq";
            const std::size_t at = pieces.find(text[4]);
            if (at == std::string::npos) {
                error = "promotion piece must be one of n, b, r, q";
                return false;
            }
            promote = static_cast<int>(at) + ChessEngine::Knight;
        }
        if (!from || !to) {
            error = "not a move in coordinate notation";
            return false;
        }
        FEngine->SetRoot(position);
        FEngine->ReadBoard();
        for (const EngineMove& move : FEngine->LegalMoves()) {
            if (move.From != *from || move.To != *to) continue;
            const bool isPromotion = (move.Flags & mfPromotion) != 0;
            if (isPromotion && promote == 0) {
                error = "a promotion needs the piece letter";
                return false;
            }
            if (!isPromotion && promote != 0) {
                error = "not a promotion";
                return false;
            }
            if (isPromotion && move.Promote != promote) continue;
            position = *FEngine->PositionAfter(move);
            return true;
        }
        error = "illegal in this position";
        return false;
    }

    void HandleGo(const std::vector<std::string>& tokens) {
        int depth = FPosition.SearchDepth;
        for (std::size_t i = 1; i < tokens.size(); ++i) {
            if (tokens[i] == "perft") {
                const std::optional<int> n =
                    i + 1 < tokens.size() ? ParseNumber(tokens[i + 1], 1, MaxPerftDepth) : std::nullopt;
                if (!n) {
                    Error("go perft needs a depth from 1 to " + std::to_string(MaxPerftDepth));
                    return;
                }
                RunPerft(*n);
                return;
            }
            if (tokens[i] == "depth") {
                const std::optional<int> n = i + 1 < tokens.size()
                                                 ? ParseNumber(tokens[i + 1], MinSearchDepth, MaxSearchDepth)
                                                 : std::nullopt;
                if (!n) {
                    Error("go depth needs a number from " + std::to_string(MinSearchDepth) + " to " +
                          std::to_string(MaxSearchDepth));
                    return;
                }
                depth = *n;
                ++i;
            }
        }
        EnginePosition position = FPosition;
        position.SearchDepth = depth;
        FEngine->SetRoot(position);
        FStart = std::chrono::steady_clock::now();
        FEngine->ThinkMove();
        std::cout << "bestmove "
                  << (FEngine->HasBestMove() ? ChessEngine::MoveText(FEngine->BestMove()) : "0000") << '\n';
    }

    void RunPerft(int depth) {
        FEngine->SetRoot(FPosition);
        FEngine->ReadBoard();
        const auto start = std::chrono::steady_clock::now();
        std::uint64_t total = 0;
        for (const ChessEngine::MoveLeaves& count : FEngine->PerftByMove(depth)) {
            total += count.Leaves;
            std::cout << ChessEngine::MoveText(count.Move) << ": " << count.Leaves << '\n';
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::cout << "info string perft depth " << depth << " nodes " << total << " time "
                  << static_cast<long long>(seconds * 1000) << " nps " << Nps(total, seconds) << '\n';
    }

    void HandleSetOption(const std::vector<std::string>& tokens) {
        if (tokens.size() == 5 && tokens[1] == "name" && tokens[2] == "Depth" && tokens[3] == "value") {
            if (const std::optional<int> n = ParseNumber(tokens[4], MinSearchDepth, MaxSearchDepth)) {
                FPosition.SearchDepth = *n;
                return;
            }
            Error("Depth must be a number from " + std::to_string(MinSearchDepth) + " to " +
                  std::to_string(MaxSearchDepth));
            return;
        }
        Error("unknown option; the only option is 'setoption name Depth value N'");
    }

    void HandleBench(const std::vector<std::string>& tokens) {
        int depth = BenchDepth;
        if (tokens.size() > 1) {
            const std::optional<int> n = ParseNumber(tokens[1], MinSearchDepth, MaxSearchDepth);
            if (!n) {
                Error("bench takes an optional depth from 1 to 8");
                return;
            }
            depth = *n;
        }
        const BenchTotals totals = RunBenchSuite(depth);
        std::cout << "info string bench depth " << depth << " positions " << BenchPositions.size()
                  << " nodes " << totals.Nodes << " time " << static_cast<long long>(totals.Seconds * 1000)
                  << " nps " << Nps(totals.Nodes, totals.Seconds) << '\n';
    }

    std::unique_ptr<ChessEngine> FEngine;
    EnginePosition FPosition = [] {
        EnginePosition position = StartPosition();
        position.SearchDepth = DefaultDepth;
        return position;
    }();
    std::chrono::steady_clock::time_point FStart;
};

} // namespace

int main() {
    std::ios::sync_with_stdio(false);
    UciFrontEnd frontEnd;
    for (std::string line; std::getline(std::cin, line);) {
        if (!frontEnd.Handle(line)) break;
    }
    return 0;
}
