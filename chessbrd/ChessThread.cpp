// The engine thread: its loop, the synchronous calls into the window thread, parking and priority.
#include "ChessThread.h"

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

TChessThread::TChessThread() {
    // Priorities count from where the program was started: under `nice -n 15` the engine must still run
    // below the window thread, and an unprivileged process could not go back above it anyway.
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, 0);
    FBaseNice = errno == 0 ? nice : 0;

    // The window thread learns of a pending call through an eventfd watched by its event loop, so the
    // only data the threads share is guarded by FMutex (visible to ThreadSanitizer, unlike Qt's internals).
    FWakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (FWakeFd < 0) throw std::system_error(errno, std::generic_category(), "eventfd for the engine thread");
    FNotifier = new QSocketNotifier(FWakeFd, QSocketNotifier::Read);
    QObject::connect(FNotifier, &QSocketNotifier::activated, [this] { RunPendingCall(); });
    FDispatcher = QAbstractEventDispatcher::instance();
    try {
        FThread = std::thread([this] { Execute(); });
    } catch (...) {
        delete FNotifier;
        close(FWakeFd);
        throw;
    }
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

int TChessThread::NiceFor(TThreadPriority Priority) const {
    return std::clamp(FBaseNice + NiceValue(Priority), -20, 19);
}

void TChessThread::ApplyPriority(TThreadPriority Priority) {
    FPriority = Priority;
    if (const int tid = FTid.load())
        // Raising the priority needs privileges; without them the thread keeps its current one.
        setpriority(PRIO_PROCESS, static_cast<id_t>(tid), NiceFor(Priority));
}

void TChessThread::Resume(const PassInput& Input) {
    {
        std::lock_guard lock(FMutex);
        if (!FSuspended || FBroken) return;
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
            // Counted before it shows as thinking: whoever sees the search running also sees it counted.
            ++FSearchCount;
            FThinking = true;
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
    if (!FBroken) {
        FPendingCall = &Call;
        FCallDone = false;
        if (WakeWindowThread()) {
            FCond.wait(lock, [this] { return FCallDone || FTerminated; });
            FPendingCall = nullptr;
            return;
        }
        FPendingCall = nullptr;
        FBroken = true;
        qWarning("TChessThread: cannot reach the window thread; the computer player stops");
    }
    // Nobody would run the call, so waiting for it would be forever. The call is dropped and the thread
    // parks itself, which is what a stop waiting in the window thread looks for; the wake-up makes it look.
    FThinking = false;
    FSuspended = true;
    lock.unlock();
    if (FDispatcher) FDispatcher->wakeUp();
}

bool TChessThread::WakeWindowThread() {
    const std::uint64_t one = 1;
    for (;;) {
        const auto written = write(FWakeFd, &one, sizeof one);
        if (written >= 0) return written == sizeof one;
        // A full counter still leaves the descriptor readable, so the window thread wakes all the same.
        if (errno == EAGAIN) return true;
        if (errno != EINTR) return false;
    }
}

void TChessThread::RunPendingCall() {
    std::uint64_t count;
    ssize_t got;
    do got = read(FWakeFd, &count, sizeof count);
    while (got < 0 && errno == EINTR);
    // Nothing to read is a spurious wake-up. Any other result (an error, or an end of file no eventfd gives)
    // would leave the descriptor readable and the notifier firing without pause: it is switched off, and
    // the thread parks after this call.
    const bool broken = got < 0 ? errno != EAGAIN : got != sizeof count;
    if (broken) {
        qWarning("TChessThread: the wake-up channel failed; the computer player stops");
        FNotifier->setEnabled(false);
    }
    const std::function<void()>* call;
    {
        std::lock_guard lock(FMutex);
        if (broken) FBroken = true;
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
