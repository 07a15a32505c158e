// The engine thread: its loop, the synchronous calls into the window thread, parking and priority.
#include "ChessThread.h"

#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

TChessThread::TChessThread() {
    // The window thread learns of a pending call through an eventfd watched by its event loop, so the
    // only data the threads share is guarded by FMutex (visible to ThreadSanitizer, unlike Qt's internals).
    FWakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    FNotifier = new QSocketNotifier(FWakeFd, QSocketNotifier::Read);
    QObject::connect(FNotifier, &QSocketNotifier::activated, [this] { RunPendingCall(); });
    FThread = std::thread([this] { Execute(); });
}

TChessThread::~TChessThread() {
    FStopRequested = true;
    {
        std::lock_guard lock(FMutex);
        FTerminated = true;
    }
    FCond.notify_all();
    FThread.join();
    delete FNotifier;
    close(FWakeFd);
}

int TChessThread::NiceValue(TThreadPriority Priority) {
    static constexpr int nice[] = {19, 10, 5, 0, -5, -10, -20};
    return nice[Priority <= tpTimeCritical ? Priority : tpNormal];
}

void TChessThread::ApplyPriority(TThreadPriority Priority) {
    FPriority = Priority;
    if (const int tid = FTid.load())
        // Raising the priority needs privileges; without them the thread keeps its current one.
        setpriority(PRIO_PROCESS, static_cast<id_t>(tid), NiceValue(Priority));
}

void TChessThread::Resume(const PassInput& Input) {
    {
        std::lock_guard lock(FMutex);
        if (!FSuspended) return;
        FInput = Input;
        FSuspended = false;
    }
    FCond.notify_all();
}

void TChessThread::MarkSuspended() {
    std::lock_guard lock(FMutex);
    FSuspended = true;
}

bool TChessThread::Suspended() const {
    std::lock_guard lock(FMutex);
    return FSuspended;
}

void TChessThread::Execute() {
    FTid = static_cast<int>(syscall(SYS_gettid));
    for (;;) {
        PassInput input;
        {
            std::unique_lock lock(FMutex);
            FCond.wait(lock, [this] { return FTerminated || !FSuspended; });
            if (FTerminated) return;
            input = FInput;
        }
        const bool computersTurn =
            input.Position.WhiteToMove ? input.ComputerPlaysWhite : input.ComputerPlaysBlack;
        FLastPassNoMove = false;
        FLastSearched = input.Position;
        if (computersTurn && !FStopRequested) {
            ApplyPriority(input.Priority);
            FThinking = true;
            ++FSearchCount;
            SetRoot(input.Position);
            ThinkMove();
            if (!FStopRequested) {
                FThinking = false;
                if (HasBestMove()) {
                    const Square from = BestFrom(), to = BestTo();
                    Synchronize([&] {
                        if (FOnMoveFound) FOnMoveFound(from, to, input.Position);
                    });
                } else {
                    FLastPassNoMove = true;
                }
            }
        }
        Synchronize([this] {
            if (FOnIdle) FOnIdle();
        });
    }
}

void TChessThread::Synchronize(const std::function<void()>& Call) {
    std::unique_lock lock(FMutex);
    if (FTerminated) return;
    FPendingCall = &Call;
    FCallDone = false;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(FWakeFd, &one, sizeof one);
    FCond.wait(lock, [this] { return FCallDone || FTerminated; });
    FPendingCall = nullptr;
}

void TChessThread::RunPendingCall() {
    std::uint64_t count;
    [[maybe_unused]] const auto readBytes = read(FWakeFd, &count, sizeof count);
    const std::function<void()>* call;
    {
        std::lock_guard lock(FMutex);
        call = FPendingCall;
        FPendingCall = nullptr; // a nested event loop inside the call must not run it twice
    }
    if (!call) return;
    (*call)(); // the engine thread is blocked in Synchronize, so its stack objects are alive
    {
        std::lock_guard lock(FMutex);
        FCallDone = true;
    }
    FCond.notify_all();
}
