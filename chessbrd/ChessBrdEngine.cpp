// TChessBrd's side of the computer player: the engine properties, starting and stopping the engine
// thread, its park point and move hand-over, and the host-supplied (custom) engine.
#include "ChessBrd.h"
#include "ChessThread.h"

#include <QCoreApplication>

#include <algorithm>
#include <system_error>

void TChessBrd::CreateEngineThread() {
    if (FThreadTried) return;
    FThreadTried = true;
    try {
        FThread = std::make_unique<TChessThread>();
    } catch (const std::system_error& e) {
        // Without its thread or its wake-up channel the engine could never hand a move over, and a stop
        // would wait for it forever. The board still serves two players; it just has no computer player.
        qWarning("TChessBrd: the computer player is unavailable: %s", e.what());
        return;
    }
    FThread->FOnMoveFound = [this](Square FromSq, Square ToSq, const EnginePosition& Searched) {
        EngineHandOver(FromSq, ToSq, Searched);
    };
    FThread->FOnIdle = [this] { EngineIdle(); };
    FThread->ApplyPriority(FThinkingPriority);
}

void TChessBrd::DestroyEngineThread() {
    FThread.reset();
}

const TChessThread* TChessBrd::EngineThread() {
    CreateEngineThread();
    return FThread.get();
}

bool TChessBrd::GetThinking() const {
    return FThread && FThread->FThinking.load();
}

void TChessBrd::SetComputerPlaysWhite(bool Value) {
    StopThinking();
    FComputerPlaysWhite = Value;
    StartThinking();
}

void TChessBrd::SetComputerPlaysBlack(bool Value) {
    StopThinking();
    FComputerPlaysBlack = Value;
    StartThinking();
}

void TChessBrd::SetSearchDepth(int Value) {
    FSearchDepth = std::clamp(Value, MinSearchDepth, MaxSearchDepth);
}

void TChessBrd::SetThinkingPriority(TThreadPriority Value) {
    FThinkingPriority = Value;
    if (FThread) FThread->ApplyPriority(Value);
}

bool TChessBrd::IsComputersTurn() const {
    return FWhiteToMove ? FComputerPlaysWhite : FComputerPlaysBlack;
}

void TChessBrd::StopThinking() {
    if (!FCustomEngine && FThread) {
        FThread->FStopRequested = true;
        // After mate or a draw a handler may start a new game from inside the engine's own hand-over,
        // and any handler may run inside it: waiting there would wait for ourselves. The engine then
        // parks at its next park point, and a move it still brings is checked against the position.
        if (!FGameOver && !FInHandOver)
            while (!FThread->Suspended()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        SetSearching(false);
    }
    FHalted = true;
}

void TChessBrd::StartThinking() {
    if (!FCustomEngine) {
        if (IsComputersTurn()) CreateEngineThread();
        if (!FThread) return;
        FThread->FStopRequested = false;
        // A pass on someone else's turn would only park again, so the thread stays asleep until then.
        if (IsComputersTurn()) {
            FThread->Resume(
                {Snapshot(FSearchDepth), FComputerPlaysWhite, FComputerPlaysBlack, FThinkingPriority});
            // After mate or stalemate the pass finds nothing at once: nobody should see the computer think.
            SetSearching(HasLegalMove());
        }
        return;
    }
    if (!IsComputersTurn() || !OnCalculateMove || FHalted) return;
    const MoveScope scope(*this);
    Square oldsq = None, newsq = None;
    OnCalculateMove(this, oldsq, newsq);
    if (FHalted) return;
    if (!PerformMove(oldsq, newsq) && OnCalculationFailed) OnCalculationFailed(this, oldsq, newsq);
}

void TChessBrd::EngineIdle() {
    FThread->FThinking = false;
    FThread->MarkSuspended();
    SetSearching(false);
    if (FThread->FStopRequested || !IsComputersTurn()) return;
    // A position in which the engine found no move, or only one the board refuses (after a threefold
    // repetition), would be searched again and again: park until the position or the roles change.
    const bool stuck = FThread->LastPassFoundNoMove() || FHandOverRefused;
    FHandOverRefused = false;
    const EnginePosition& searched = FThread->LastSearched();
    if (stuck && searched == Snapshot(searched.SearchDepth)) return;
    StartThinking();
}

void TChessBrd::EngineHandOver(Square FromSq, Square ToSq, const EnginePosition& Searched) {
    // A handler that ended the game may have set up another position meanwhile: the move belongs to the old
    // one.
    SetSearching(false);
    if (!(Searched == Snapshot(Searched.SearchDepth))) return;
    FInHandOver = true;
    FHandOverRefused = !PerformMove(FromSq, ToSq);
    FInHandOver = false;
}

void TChessBrd::CustomEngineCheck() {
    // A slide lets timers and paints through; the computer's turn has not passed yet while it runs, and
    // asking again then would start a second move inside the first.
    if (!FHalted && FCustomEngine && !MoveInProgress() && IsComputersTurn()) StartThinking();
}

bool TChessBrd::event(QEvent* e) {
    // A deferred delete ends the board's life inside the base handler: nothing of it may be read after.
    if (e->type() == QEvent::DeferredDelete) return QWidget::event(e);
    const bool handled = QWidget::event(e);
    CustomEngineCheck();
    return handled;
}
