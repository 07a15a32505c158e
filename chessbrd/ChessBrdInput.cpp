// TChessBrd input: picking pieces up, dragging and dropping them, corner resizing, sliding moves that were
// not dragged, and the custom-engine poll.
#include "ChessBrd.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QSocketNotifier>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {
constexpr int DragThreshold = 5;
constexpr int ResizeCorner = 10;

bool IsSizingCursor(Qt::CursorShape shape) {
    return shape == Qt::SizeFDiagCursor || shape == Qt::SizeHorCursor || shape == Qt::SizeVerCursor;
}
} // namespace

Square TChessBrd::SquareFromPoint(int X, int Y) const {
    const int x = X - BoardLeft, y = Y - BoardTop, span = 8 * FSizeOfSquare;
    if (x < 0 || x >= span || y < 0 || y >= span) return None;
    int column = std::min(x / FSizeOfSquare, 7);
    int row = std::min(y / FSizeOfSquare, 7);
    if (FWhiteOnTop) {
        column = 7 - column;
        row = 7 - row;
    }
    return static_cast<Square>(row * 8 + column + 1);
}

void TChessBrd::mousePressEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (OnMouseDown) OnMouseDown(this, e->button(), e->modifiers(), pos.x(), pos.y());
    // A second button during a drag changes nothing; the drag ends with the next release.
    if (FPressed || FDragActive) return;
    // A drag cancelled while the board was disabled or hidden never saw its release: this press starts anew.
    FDragAborted = false;
    const Square q = SquareFromPoint(pos.x(), pos.y());
    if (ClickPress(e->button(), q)) return;
    if (q != None && PieceAt(q) != ' ') {
        DragSource = q;
        FHeldPiece = PieceAt(q);
        FPressed = true;
        FPressPoint = pos;
    }
}

void TChessBrd::mouseDoubleClickEvent(QMouseEvent* e) {
    if (OnDblClick) OnDblClick(this);
    mousePressEvent(e);
}

void TChessBrd::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    const int x = pos.x(), y = pos.y();
    if (OnMouseMove) OnMouseMove(this, e->buttons(), e->modifiers(), x, y);

    // The busy cursor is the board's own while the computer thinks, not the one to come back to.
    if (!IsSizingCursor(cursor().shape()) && !(FShowThinking && cursor().shape() == Qt::BusyCursor))
        NormalCursor = cursor().shape();
    if (FResizable && x >= width() - ResizeCorner && x <= width() && y >= height() - ResizeCorner &&
        y <= height()) {
        setCursor(Qt::SizeFDiagCursor);
        if (e->buttons() & Qt::LeftButton) Resizing = true;
    } else if (FResizable && !Resizing) {
        setCursor(RestingCursor());
    }
    if (FResizable && Resizing) {
        const int size = std::clamp(std::max(x, y), FResizeMinSize, FResizeMaxSize);
        if (size != width()) resize(size, height());
    }

    if (HeldPieceGone()) {
        LetGoOfHeldPiece();
        return;
    }
    if (FPressed && !FDragActive && (e->buttons() & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton)) &&
        (std::abs(x - FPressPoint.x()) >= DragThreshold || std::abs(y - FPressPoint.y()) >= DragThreshold)) {
        FDragActive = true;
        FDragAccepted = false;
        UpdateApplicationFilter();
        if (OnStartDrag) OnStartDrag(this);
        if (FSelected != DragSource) ClearSelection();
        if (FShowLegalMoves) ShowMarksFor(DragSource);
    }
    if (FDragActive) {
        if (rect().contains(pos))
            DragOver(x, y);
        else {
            FDragAccepted = false;
            SetDragCursor(false);
        }
    }
}

void TChessBrd::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (OnMouseUp) OnMouseUp(this, e->button(), e->modifiers(), pos.x(), pos.y());
    Resizing = false;
    if (HeldPieceGone()) {
        LetGoOfHeldPiece();
        return;
    }
    if (FDragActive) {
        if (rect().contains(pos)) DragOver(pos.x(), pos.y());
        const bool drop = FDragAccepted && rect().contains(pos) &&
                          (e->button() == Qt::LeftButton || e->button() == Qt::RightButton);
        EndDrag();
        if (drop)
            DragDrop(pos.x(), pos.y());
        else
            DragCanceled();
        if (OnEndDrag) OnEndDrag(this, pos.x(), pos.y());
    } else {
        const bool pressed = std::exchange(FPressed, false);
        // The release that follows a drag cancelled by Escape ends that drag; it is no click.
        const bool click = !FDragAborted;
        FDragAborted = false;
        if (click && e->button() == Qt::LeftButton && rect().contains(pos)) {
            if (OnClick) OnClick(this);
            if (pressed) ClickRelease(DragSource);
        }
    }
}

// Escape must reach the board wherever the keyboard focus is, during a drag; and during a slide socket
// notifications must wait, which not every event dispatcher does for ExcludeSocketNotifiers (GLib's does
// not). A notifier that fires then is switched off, and switched on again once the slide is over: its
// descriptor is still ready, so it fires again from the window's own event loop.
void TChessBrd::UpdateApplicationFilter() {
    if (!qApp) return;
    if (FDragActive || FSlide || (FClickToMove && FSelected != None))
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool TChessBrd::eventFilter(QObject* watched, QEvent* e) {
    if (FSlide && e->type() == QEvent::SockAct) {
        if (auto* notifier = qobject_cast<QSocketNotifier*>(watched)) {
            notifier->setEnabled(false);
            FHeldNotifiers.emplace_back(notifier);
            return true;
        }
    }
    if (FDragActive && e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
        AbortDrag();
        return true;
    }
    // Escape clears a clicked selection wherever the focus is in the board's window; other windows (a
    // dialog) keep their Escape.
    if (FSelected != None && e->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == window()) {
        ClearSelection();
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

// Losing the window's activation takes the mouse away from the board, and a disabled board (or one on a
// disabled panel) takes no input: a drag in progress is cancelled either way.
void TChessBrd::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    // A board that takes no input holds no piece picked up.
    if (e->type() == QEvent::EnabledChange && !isEnabled()) ClearSelection();
    if (!FDragActive) {
        // A press not yet become a drag must not become one once input comes back.
        if (e->type() == QEvent::EnabledChange && !isEnabled()) FPressed = false;
        return;
    }
    if ((e->type() == QEvent::ActivationChange && !isActiveWindow()) ||
        (e->type() == QEvent::EnabledChange && !isEnabled()))
        AbortDrag();
}

void TChessBrd::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    ClearSelection();
    if (FDragActive) AbortDrag();
}

void TChessBrd::AbortDrag() {
    const QPoint at = mapFromGlobal(QCursor::pos());
    FDragAborted = QGuiApplication::mouseButtons() != Qt::NoButton;
    EndDrag();
    DragCanceled();
    if (OnEndDrag) OnEndDrag(this, at.x(), at.y());
}

void TChessBrd::EndDrag() {
    FDragActive = false;
    FPressed = false;
    // The drag's marks go with it; a selected piece put back keeps its own.
    if (FMarkSource != None && FMarkSource != FSelected) {
        FMarkSource = None;
        FMarkTargets = 0;
        UpdateMarks();
    }
    UpdateApplicationFilter();
    if (FDragCursorShown) {
        QGuiApplication::restoreOverrideCursor();
        FDragCursorShown = false;
    }
}

void TChessBrd::SetDragCursor(bool Accept) {
    if (!FDragActive) return;
    const QCursor shape(Accept ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
    if (FDragCursorShown) {
        QGuiApplication::changeOverrideCursor(shape);
    } else {
        QGuiApplication::setOverrideCursor(shape);
        FDragCursorShown = true;
    }
}

void TChessBrd::DragOver(int X, int Y) {
    const Square q = SquareFromPoint(X, Y);
    const int h = FSizeOfSquare / 2;
    if (!IsDragImageShowing()) {
        DrawSquare(DragSource);
        DrawBoardLines();
        ShowDragImage(PieceAt(DragSource), X + x() - h, Y + y() - h);
    }
    MoveDragImage(X + x() - h, Y + y() - h);

    bool accept = false;
    if (OnDragOver) OnDragOver(this, X, Y, accept);
    if (!GetThinking() && !FSearching && (q == DragSource || IsLegalMove(DragSource, q))) accept = true;
    FDragAccepted = accept;
    SetDragCursor(accept);
}

void TChessBrd::DragDrop(int X, int Y) {
    if (OnDragDrop) OnDragDrop(this, X, Y);
    HideDragImage();
    DropTarget = SquareFromPoint(X, Y);
    if (DropTarget == DragSource) {
        DrawPiece(DragSource, PieceAt(DragSource));
        return;
    }
    // A host's OnDragOver may accept a square the rules refuse; the piece must not vanish then.
    if (!MakeMove(DragSource, DropTarget)) {
        DrawPiece(DragSource, PieceAt(DragSource));
        if (OnIllegalMove) OnIllegalMove(this, DragSource);
    }
}

void TChessBrd::DragCanceled() {
    HideDragImage();
    DrawPiece(DragSource, PieceAt(DragSource));
    if (OnIllegalMove) OnIllegalMove(this, DragSource);
    if (const InputRefusal reason = RefusalFor(DragSource); reason != InputRefusal::None)
        RefuseInput(DragSource, reason);
}

bool TChessBrd::IsDragImageShowing() const {
    return FDragImage && !FDragImage->isHidden();
}

void TChessBrd::ShowDragImage(char Piece, int ParentX, int ParentY) {
    EnsurePieceImages();
    const int index = PieceImageIndex(Piece);
    if (index < 0 || PieceImages[index].isNull()) return;
    QWidget* host = parentWidget() ? parentWidget() : this;
    if (!FDragImage) {
        FDragImage = new QLabel(host);
        FDragImage->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    FDragImage->setPixmap(PieceImages[index]);
    FDragImage->resize(PieceImages[index].deviceIndependentSize().toSize());
    MoveDragImage(ParentX, ParentY);
    FDragImage->show();
    FDragImage->raise();
}

void TChessBrd::MoveDragImage(int ParentX, int ParentY) {
    if (!FDragImage) return;
    // Without a parent the image lives on the board itself, whose own coordinates are the parent's.
    const QPoint origin = parentWidget() ? QPoint(0, 0) : pos();
    FDragImage->move(QPoint(ParentX, ParentY) - origin);
}

// Hidden, not deleted: this may run while Qt walks the parent's children to hide them (the window is
// closing), and deleting a sibling then pulls it from under Qt's feet. The label is reused by the next drag.
void TChessBrd::HideDragImage() {
    if (FDragImage) FDragImage->hide();
}

// A move that changes the square the person holds a piece from (the engine's, a network opponent's, a
// host's) ends the drag as Escape does: the floating image would otherwise turn into whatever stands there
// afterwards.
bool TChessBrd::MoveStarting(Square FromSq, Square ToSq) {
    if (!FPressed || !MoveChanges(FromSq, ToSq, DragSource)) return false;
    const bool dragging = FDragActive;
    LetGoOfHeldPiece();
    return dragging;
}

// A new position (a new game, a take-back, a loaded game) may also have replaced the piece in the hand;
// that shows at the next pointer event.
bool TChessBrd::HeldPieceGone() const {
    return FPressed && PieceAt(DragSource) != FHeldPiece;
}

// A drag ends as a cancel; a press not yet become a drag ends quietly. Either way the release that follows
// belongs to the gesture let go of: it is no click.
void TChessBrd::LetGoOfHeldPiece() {
    if (FDragActive) {
        AbortDrag();
        return;
    }
    FPressed = false;
    FDragAborted = QGuiApplication::mouseButtons() != Qt::NoButton;
}

bool TChessBrd::ShouldSlide(Square FromSq, Square ToSq) const {
    return FAnimateMoves && (FromSq != DragSource || ToSq != DropTarget);
}

void TChessBrd::SlideMove(Square FromSq, Square ToSq) {
    AnimateMove(FromSq, ToSq, FAnimationDelay);
}

void TChessBrd::AnimateMove(Square FromSq, Square ToSq, int Delay) {
    FAnimationSteps = 0;
    if (!IsDragImageShowing()) {
        const char piece = PieceAt(FromSq);
        const bool knight = piece == 'N' || piece == 'n';
        int x1, y1, x2, y2;
        SquareToXY(FromSq, x1, y1);
        SquareToXY(ToSq, x2, y2);
        x1 += x();
        y1 += y();
        x2 += x();
        y2 += y();
        const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
        const int steps = knight ? dx + dy + 2 : (dx || dy ? std::max(dx, dy) + 1 : 0);

        // The slide is there to be seen, so its pace is set by the clock rather than by how fast the
        // machine moves the image; a board nobody sees does not wait. One loop and timer per slide (not per
        // step), and a slide nested in a handler of this one gets its own.
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        SlideClock clock{FTicks.elapsed(), steps, Delay, &loop, &timer};
        SlideClock* const outer = std::exchange(FSlide, isVisible() ? &clock : nullptr);
        UpdateApplicationFilter();

        ShowDragImage(piece, x1, y1);
        if (knight) {
            AnimateHorizontal(x1, x2, y1, Delay);
            AnimateVertical(y1, y2, x2, Delay);
        } else {
            AnimateLine(x1, y1, x2, y2, Delay);
        }
        FSlide = outer;
        UpdateApplicationFilter();
        if (!FSlide) {
            for (const QPointer<QSocketNotifier>& notifier : std::exchange(FHeldNotifiers, {}))
                if (notifier) notifier->setEnabled(true);
        }
    }
    HideDragImage();
}

void TChessBrd::AnimateLine(int X1, int Y1, int X2, int Y2, int Delay) {
    if (X1 == X2 && Y1 == Y2) return;
    if (std::abs(Y2 - Y1) > std::abs(X2 - X1)) {
        const int dir = Y2 > Y1 ? 1 : -1;
        const double dx = double(X2 - X1) / std::abs(Y2 - Y1);
        double x = X1;
        for (int y = Y1;; y += dir) {
            AnimationStep(static_cast<int>(x), y, Delay);
            if (y == Y2) break;
            x += dx;
        }
    } else {
        const int dir = X2 > X1 ? 1 : -1;
        const double dy = double(Y2 - Y1) / std::abs(X2 - X1);
        double y = Y1;
        for (int x = X1;; x += dir) {
            AnimationStep(x, static_cast<int>(y), Delay);
            if (x == X2) break;
            y += dy;
        }
    }
}

void TChessBrd::AnimateHorizontal(int X1, int X2, int Y, int Delay) {
    const int dir = X2 >= X1 ? 1 : -1;
    for (int x = X1;; x += dir) {
        AnimationStep(x, Y, Delay);
        if (x == X2) break;
    }
}

void TChessBrd::AnimateVertical(int Y1, int Y2, int X, int Delay) {
    const int dir = Y2 >= Y1 ? 1 : -1;
    for (int y = Y1;; y += dir) {
        AnimationStep(X, y, Delay);
        if (y == Y2) break;
    }
}

void TChessBrd::AnimationStep(int X, int Y, int Delay) {
    const int step = FAnimationSteps++;
    if (OnAnimationStep) OnAnimationStep(X, Y);
    // Only a piece the slide showed moves along; a label left from an earlier drag stays hidden.
    if (FDragImage && !FDragImage->isHidden()) MoveDragImage(X, Y);
    if (!FSlide) return;
    qint64 due = FSlide->Start;
    if (FSlide->Steps > 1) due += qint64(SlideDuration) * step / (FSlide->Steps - 1);
    // A positive delay adds its own wait to every step, so each step lasts longer than the delay.
    if (Delay > 0) due += qint64(step + 1) * (Delay + 1);
    StepWait(due);
}

// The window keeps painting while the piece slides, but clicks, keys and socket notifications wait until
// the slide is over: they could start another move or a new game in the middle of this one. (Handlers of
// the move that process messages themselves are the hosts' to guard, with MoveInProgress.)
void TChessBrd::StepWait(qint64 Due) {
    constexpr auto flags = QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers;
    const qint64 left = Due - FTicks.elapsed();
    if (left <= 0) {
        // Behind the clock (a slow or busy machine): no wait, but what has moved is still painted.
        QCoreApplication::processEvents(flags);
        return;
    }
    FSlide->Timer->start(static_cast<int>(left));
    FSlide->Loop->exec(flags);
}

void TChessBrd::TimerTick() {
    CustomEngineCheck();
}
