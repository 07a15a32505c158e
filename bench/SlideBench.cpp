// What a sliding move costs the window: how long the slide takes with the main windows' delay of 0, the
// longest the window's event loop goes without a turn while the piece slides, and the CPU it uses. On a
// busy machine the wall-clock gap also holds the time other programs ran; the gap in the window thread's
// own CPU time is what the slide itself keeps the loop from turning.
#include "ChessBrd.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <ctime>

namespace {

double ProcessCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

qint64 ThreadCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

struct SlideCase {
    const char* Position; // "init" or 64 letters
    Square From, To;
};

// A pawn's double step (81 steps of a pixel), a knight's L (122) and a bishop across the board (281).
const SlideCase Cases[] = {
    {"init", E2, E4},
    {"init", G1, F3},
    {"k                                                       B   K   ", A1, H8},
};

void BM_Slide(benchmark::State& state) {
    const SlideCase& slide = Cases[state.range(0)];
    QWidget window;
    window.resize(400, 400);
    auto* board = new TChessBrd(&window);
    board->move(4, 4);
    board->SetAnimationDelay(0);
    window.show();
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();

    // A 1 ms tick stands for the window's event loop: the gap between two ticks is how long it went
    // without a turn.
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longestGap = 0, lastCpu = 0, longestCpuGap = 0;
    bool sliding = false;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed(), cpu = ThreadCpuNs();
        if (sliding) {
            longestGap = std::max(longestGap, now - last);
            longestCpuGap = std::max(longestCpuGap, cpu - lastCpu);
        }
        last = now;
        lastCpu = cpu;
    });
    tick.start();

    double totalMs = 0, cpuMs = 0;
    int steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        board->SetPosition(slide.Position);
        board->SetWhiteToMove(true);
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
        state.ResumeTiming();

        const double cpu0 = ProcessCpuMs();
        QElapsedTimer wall;
        wall.start();
        last = clock.nsecsElapsed();
        lastCpu = ThreadCpuNs();
        sliding = true;
        board->MakeMove(slide.From, slide.To);
        sliding = false;
        totalMs += static_cast<double>(wall.nsecsElapsed()) / 1e6;
        cpuMs += ProcessCpuMs() - cpu0;
        steps = board->AnimationSteps();
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["slide_ms"] = totalMs / n;
    state.counters["longest_loop_gap_ms"] = static_cast<double>(longestGap) / 1e6;
    state.counters["longest_loop_gap_cpu_ms"] = static_cast<double>(longestCpuGap) / 1e6;
    state.counters["cpu_percent_of_core"] = 100.0 * cpuMs / totalMs;
    state.counters["steps"] = steps;
}
BENCHMARK(BM_Slide)->DenseRange(0, 2)->Iterations(10)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
