// Cost of the game model per move: whole random games, a middle-game move with a long history, a mating move,
// the repetition test, and the plain 4096-pair reply loop for comparison.
#include "ChessGame.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <random>
#include <utility>
#include <vector>

namespace {

using Move = std::pair<Square, Square>;
using Clock = std::chrono::steady_clock;

std::vector<Move> LegalMoves(const ChessGame& game) {
    std::vector<Move> moves;
    for (int from = 1; from <= 64; ++from)
        for (int to = 1; to <= 64; ++to)
            if (game.IsLegalMove(static_cast<Square>(from), static_cast<Square>(to)))
                moves.emplace_back(static_cast<Square>(from), static_cast<Square>(to));
    return moves;
}

std::vector<Move> RandomGame(std::uint32_t seed, int maxPlies) {
    std::mt19937 rng(seed);
    ChessGame game;
    std::vector<Move> played;
    for (int ply = 0; ply < maxPlies; ++ply) {
        const std::vector<Move> moves = LegalMoves(game);
        if (moves.empty()) break;
        const Move move = moves[std::uniform_int_distribution<std::size_t>(0, moves.size() - 1)(rng)];
        game.PerformMove(move.first, move.second);
        played.push_back(move);
    }
    return played;
}

constexpr std::size_t MiddleGamePly = 100;

// Seeded random games that last beyond the middle-game ply, generated once.
const std::vector<std::vector<Move>>& Games() {
    static const std::vector<std::vector<Move>> games = [] {
        std::vector<std::vector<Move>> result;
        for (std::uint32_t seed = 1; result.size() < 8; ++seed) {
            std::vector<Move> game = RandomGame(seed, 300);
            if (game.size() > MiddleGamePly) result.push_back(std::move(game));
        }
        return result;
    }();
    return games;
}

// A game stopped just before one chosen move, which each timed iteration plays and takes back.
struct PreparedMove {
    std::unique_ptr<ChessGame> Game = std::make_unique<ChessGame>();
    Move Next;
    int MoveNumber = 1;
    bool WhiteToMove = true;
};

PreparedMove Prepare(const std::vector<Move>& moves, std::size_t before) {
    PreparedMove prepared;
    for (std::size_t i = 0; i < before; ++i) prepared.Game->PerformMove(moves[i].first, moves[i].second);
    prepared.Next = moves[before];
    prepared.MoveNumber = prepared.Game->GetCurrentMove();
    prepared.WhiteToMove = prepared.Game->GetWhiteToMove();
    return prepared;
}

void TimeOneMove(benchmark::State& state, std::vector<PreparedMove>& cases) {
    std::size_t k = 0;
    for (auto _ : state) {
        PreparedMove& c = cases[k++ % cases.size()];
        const auto start = Clock::now();
        const bool accepted = c.Game->PerformMove(c.Next.first, c.Next.second);
        const auto stop = Clock::now();
        benchmark::DoNotOptimize(accepted);
        c.Game->GotoMove(c.MoveNumber, c.WhiteToMove);
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_WholeGames(benchmark::State& state) {
    ChessGame game;
    std::int64_t moves = 0;
    for (auto _ : state) {
        for (const std::vector<Move>& played : Games()) {
            game.NewGame();
            for (const Move& move : played)
                benchmark::DoNotOptimize(game.PerformMove(move.first, move.second));
            moves += static_cast<std::int64_t>(played.size());
        }
    }
    state.SetItemsProcessed(moves);
    state.counters["per_move"] = benchmark::Counter(
        static_cast<double>(moves), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_WholeGames)->Unit(benchmark::kMillisecond);

void BM_MiddleGameMove(benchmark::State& state) {
    std::vector<PreparedMove> cases;
    for (const std::vector<Move>& played : Games()) cases.push_back(Prepare(played, MiddleGamePly));
    TimeOneMove(state, cases);
}
BENCHMARK(BM_MiddleGameMove)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Fool's mate, a scholar's mate, and the mates that ended some seeded random games.
std::vector<std::vector<Move>> MatingGames() {
    std::vector<std::vector<Move>> games = {
        {{F2, F3}, {E7, E5}, {G2, G4}, {D8, H4}},
        {{E2, E4}, {E7, E5}, {F1, C4}, {B8, C6}, {D1, H5}, {G8, F6}, {H5, F7}},
    };
    for (std::uint32_t seed = 1; games.size() < 5 && seed < 400; ++seed) {
        std::vector<Move> game = RandomGame(seed, 400);
        ChessGame replay;
        bool mated = false;
        replay.OnMate = [&mated](ChessGame*, Square, Square) { mated = true; };
        for (const Move& move : game) replay.PerformMove(move.first, move.second);
        if (mated) games.push_back(std::move(game));
    }
    return games;
}

void BM_MatingMove(benchmark::State& state) {
    std::vector<PreparedMove> cases;
    for (const std::vector<Move>& played : MatingGames()) cases.push_back(Prepare(played, played.size() - 1));
    TimeOneMove(state, cases);
    state.counters["positions"] = static_cast<double>(cases.size());
}
BENCHMARK(BM_MatingMove)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_RepetitionTest(benchmark::State& state) {
    PreparedMove prepared = Prepare(Games().front(), MiddleGamePly);
    for (auto _ : state) benchmark::DoNotOptimize(prepared.Game->IsThreefoldRepetition());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RepetitionTest)->Unit(benchmark::kNanosecond);

void BM_RepeatingMove(benchmark::State& state) {
    // The eighth move of two knight dances completes a threefold repetition.
    const std::vector<Move> dance = {{G1, F3}, {G8, F6}, {F3, G1}, {F6, G8},
                                     {G1, F3}, {G8, F6}, {F3, G1}, {F6, G8}};
    std::vector<PreparedMove> cases;
    cases.push_back(Prepare(dance, dance.size() - 1));
    TimeOneMove(state, cases);
}
BENCHMARK(BM_RepeatingMove)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_ReplyTestAfterMate(benchmark::State& state) {
    PreparedMove prepared = Prepare(MatingGames().front(), 4);
    for (auto _ : state) benchmark::DoNotOptimize(prepared.Game->HasLegalMove());
}
BENCHMARK(BM_ReplyTestAfterMate)->Unit(benchmark::kMicrosecond);

void BM_PairLoopAfterMate(benchmark::State& state) {
    // The plain question over all 4096 pairs, for comparison with the reply test above.
    PreparedMove prepared = Prepare(MatingGames().front(), 4);
    for (auto _ : state) {
        bool any = false;
        for (int from = 1; from <= 64 && !any; ++from)
            for (int to = 1; to <= 64 && !any; ++to)
                any = prepared.Game->IsLegalMove(static_cast<Square>(from), static_cast<Square>(to));
        benchmark::DoNotOptimize(any);
    }
}
BENCHMARK(BM_PairLoopAfterMate)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
