// TChessThread: the worker thread that runs one board's engine. It is created parked, searches when the
// board resumes it with a snapshot of the position, and enters the window thread only through
// Synchronize, which blocks until the window thread has run the call (the move hand-over and the park
// point at the end of every pass). A parked thread sleeps on a condition variable and uses no CPU.
#pragma once

#include "ChessEngine.h"
#include "ChessTypes.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class QAbstractEventDispatcher;
class QSocketNotifier;

class TChessThread : public ChessEngine {
public:
    // What one pass works on; handed over by the board while the thread is parked.
    struct PassInput {
        EnginePosition Position;
        bool ComputerPlaysWhite = false;
        bool ComputerPlaysBlack = false;
        TThreadPriority Priority = tpNormal;
    };

    // Must be constructed on the window thread: Synchronize calls are run there. Throws std::system_error
    // when the wake-up channel or the thread cannot be created.
    TChessThread();
    // Ends the thread whatever it is doing: a search is abandoned and a pending hand-over dropped.
    ~TChessThread();
    TChessThread(const TChessThread&) = delete;
    TChessThread& operator=(const TChessThread&) = delete;

    // Window thread. Lets a parked thread run one pass on Input; no effect while it runs, nor once the
    // window thread can no longer be reached.
    void Resume(const PassInput& Input);
    // Window thread, from the park point: the thread stops after the current call returns.
    void MarkSuspended();
    bool Suspended() const;
    // Applies a priority to the running thread at once: the nice value of its thread id, counted from the
    // nice value the window thread had when this object was made.
    void ApplyPriority(TThreadPriority Priority);
    // The nice value a priority gives the thread.
    int NiceFor(TThreadPriority Priority) const;

    // Results of the pass that is calling FOnIdle; valid inside that call.
    bool LastPassFoundNoMove() const { return FLastPassNoMove; }
    const EnginePosition& LastSearched() const { return FLastSearched; }
    std::uint64_t SearchCount() const { return FSearchCount.load(); }
    // The kernel's id of the engine thread (0 until it has started).
    int ThreadId() const { return FTid.load(); }

    std::atomic<bool> FThinking{false};
    // The owning board raises and clears the stop request from the window thread; this thread's loop reads
    // it too.
    using ChessEngine::FStopRequested;
    // Bound by the board: the computer's move (with the position it was found in) and the park point.
    std::function<void(Square FromSq, Square ToSq, const EnginePosition& Searched)> FOnMoveFound;
    std::function<void()> FOnIdle;

    // How far a priority lies above (negative) or below (positive) the window thread's, in nice steps.
    static int NiceValue(TThreadPriority Priority);

private:
    void Execute();
    void Synchronize(const std::function<void()>& Call);
    void RunPendingCall();
    bool WakeWindowThread();

    mutable std::mutex FMutex;
    std::condition_variable FCond;
    bool FSuspended = true;
    bool FTerminated = false;
    bool FBroken = false; // the wake-up channel failed: calls are dropped and the thread stays parked
    PassInput FInput;
    const std::function<void()>* FPendingCall = nullptr;
    bool FCallDone = false;

    bool FLastPassNoMove = false;
    EnginePosition FLastSearched;
    std::atomic<std::uint64_t> FSearchCount{0};
    std::atomic<int> FTid{0};
    std::atomic<int> FPriority{tpNormal};
    int FBaseNice = 0;

    int FWakeFd = -1;
    QSocketNotifier* FNotifier = nullptr;
    QAbstractEventDispatcher* FDispatcher = nullptr; // the window thread's, woken when a call is dropped
    std::thread FThread;
};
