// What the engine thread costs the rest of the program: CPU used while the program waits for the user,
// and how long the window thread is kept from its events while the engine searches.
#include "ChessBrd.h"
#include "ChessThread.h"
#include "Fen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>

namespace {

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A board waiting for the user's move with the computer playing Black: the program should sleep, also with
// the main windows' play switched on and a piece picked up, its legal squares marked.
void BM_IdleCpu(benchmark::State& state) {
    for (auto _ : state) {
        TChessBrd board;
        board.SetComputerPlaysBlack(true);
        board.SetClickToMove(true);
        board.SetShowLegalMoves(true);
        board.SetKeyboardInput(true);
        board.SetShowThinking(true);
        board.show();
        QCoreApplication::processEvents();
        int x, y;
        board.SquareToXY(G1, x, y);
        const QPointF at(x + 20, y + 20);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, at, board.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(&board, &e);
        }
        if (board.Selected() != G1) state.SkipWithError("the click picked nothing up");
        QCoreApplication::processEvents();
        const double cpu0 = ProcessCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QTimer::singleShot(5000, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
        const double cpu = ProcessCpuSeconds() - cpu0;
        state.counters["idle_cpu_percent_of_core"] =
            100.0 * cpu / (static_cast<double>(wall.elapsed()) / 1000.0);
    }
}
BENCHMARK(BM_IdleCpu)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The longest gap between 1 ms ticks of the window thread while the engine searches to depth 6 from a
// middle-game position and hands its move over.
void BM_WindowThreadBlockedDuringSearch(benchmark::State& state) {
    for (auto _ : state) {
        TChessBrd board;
        board.SetAnimateMoves(false);
        board.SetThinkingPriority(tpLowest);
        EnginePosition middleGame;
        std::string error;
        ParseFen("r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R w KQ - 0 1", middleGame, error);
        board.SetWhiteToMove(middleGame.WhiteToMove);
        board.SetPosition(std::string(middleGame.Board.begin(), middleGame.Board.end()));
        board.SetCastlingAllowed(middleGame.Castling);
        board.SetSearchDepth(6);
        board.show();
        bool moved = false;
        board.OnLegalMove = [&](ChessGame*, Square, Square) { moved = true; };
        QElapsedTimer clock;
        clock.start();
        qint64 last = clock.elapsed(), worst = 0;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            worst = std::max(worst, now - last);
            last = now;
        });
        tick.start();
        QElapsedTimer search;
        search.start();
        board.SetComputerPlaysWhite(true);
        while (!moved) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const qint64 searchMs = search.elapsed();
        QElapsedTimer stop;
        board.SetComputerPlaysBlack(true); // searches again; now measure how quickly a stop returns
        while (!board.GetThinking()) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        stop.start();
        board.StopThinking();
        state.counters["longest_block_ms"] = static_cast<double>(worst);
        state.counters["search_ms"] = static_cast<double>(searchMs);
        state.counters["stop_latency_ms"] = static_cast<double>(stop.nsecsElapsed()) / 1e6;
    }
}
BENCHMARK(BM_WindowThreadBlockedDuringSearch)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
