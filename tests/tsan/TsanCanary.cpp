// tsan_canary: a deliberate data race that the ThreadSanitizer stage must report. It exists so that the stage
// cannot go blind without failing: a suppression or option that hides races under Qt's event dispatch (where
// the window thread does nearly all its work) hides this one too, and tests/tsan/expect_race.sh then fails.
// The race takes the path real ones would: a plain write on a worker thread, a plain read in a QTimer slot on
// the window thread, and no synchronisation ThreadSanitizer can see between them.
#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

// The raced variable: written by the worker, read by the timer, never guarded. External linkage keeps the
// compiler from holding it in a register across the worker's sleeps, which would hide the writes.
int TsanCanaryCounter = 0;

namespace {

// Relaxed on both sides on purpose: a relaxed store and load order nothing, so ThreadSanitizer sees no
// happens-before edge that could hide the race.
std::atomic<bool> Stop{false};

// Named functions rather than lambdas so that the report can be recognised by name.
__attribute__((noinline)) void WriteFromWorker() {
    while (!Stop.load(std::memory_order_relaxed)) {
        ++TsanCanaryCounter;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

__attribute__((noinline)) int ReadFromTimer() {
    return TsanCanaryCounter;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::thread worker(WriteFromWorker);
    int ticks = 0, seen = 0;
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        seen = ReadFromTimer();
        // Enough turns for both accesses to have happened whatever the scheduling.
        if (++ticks == 50) app.quit();
    });
    timer.start();
    app.exec();
    Stop.store(true, std::memory_order_relaxed);
    worker.join();
    std::printf("tsan_canary: the timer last saw %d\n", seen);
    return 0;
}
