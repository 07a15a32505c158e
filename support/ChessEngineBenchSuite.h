// The fixed positions and depth of the engine benchmark, shared by the command-line front end, the benchmark
// programs and the test that pins the engine's node counts.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

inline constexpr std::array<std::string_view, 8> BenchPositions = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4",
    "rnbqkb1r/ppp2ppp/4pn2/3p4/2PP4/2N5/PP2PPPP/R1BQKBNR w KQkq - 2 4",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
};

inline constexpr int BenchDepth = 6;

struct BenchTotals {
    std::uint64_t Nodes = 0;
    double Seconds = 0.0;
};

// Searches every bench position to Depth, each with a fresh engine so that the count depends on nothing
// but the engine's rules.
BenchTotals RunBenchSuite(int Depth);
