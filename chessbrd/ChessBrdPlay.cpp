// TChessBrd play beyond dragging: picking a piece up with a click or a key and putting it down on a
// marked square, the keyboard's square cursor, the marks drawn over the board, the thinking state with its
// cursor, and input refused because it is not the person's turn.
#include "ChessBrd.h"

#include <QAccessible>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace {
bool Bit(std::uint64_t Set, Square Sq) {
    return Sq >= A8 && Sq <= H1 && ((Set >> (Sq - 1)) & 1u);
}
} // namespace

void TChessBrd::SetClickToMove(bool Value) {
    FClickToMove = Value;
    if (!FClickToMove && !FKeyboardInput) ClearSelection();
    UpdateApplicationFilter();
}

void TChessBrd::SetShowLegalMoves(bool Value) {
    FShowLegalMoves = Value;
    UpdateMarks();
}

void TChessBrd::SetKeyboardInput(bool Value) {
    FKeyboardInput = Value;
    setFocusPolicy(Value ? Qt::StrongFocus : Qt::NoFocus);
    if (!Value) {
        FKeyCursorShown = false;
        if (!FClickToMove) ClearSelection();
        UpdateMarks();
    }
}

void TChessBrd::SetShowThinking(bool Value) {
    FShowThinking = Value;
    if (FSearching && (cursor().shape() == Qt::BusyCursor || cursor().shape() == NormalCursor))
        setCursor(RestingCursor());
}

Qt::CursorShape TChessBrd::RestingCursor() const {
    return FShowThinking && FSearching ? Qt::BusyCursor : NormalCursor;
}

// The computer's turn shows from the moment the board asks for a search until the move comes back or the
// search is called off; the engine's own flag starts later and would let a drop slip in between.
void TChessBrd::SetSearching(bool Value) {
    if (FSearching == Value) return;
    FSearching = Value;
    if (FSearching) ClearSelection();
    // A sizing arrow in the resize corner stays; the resting cursor follows the state.
    if (FShowThinking && (cursor().shape() == Qt::BusyCursor || cursor().shape() == NormalCursor))
        setCursor(RestingCursor());
    if (OnThinkingChanged) OnThinkingChanged(this, FSearching);
}

TChessBrd::InputRefusal TChessBrd::RefusalFor(Square From) const {
    if (GetThinking() || FSearching || IsComputersTurn()) return InputRefusal::ComputersTurn;
    // The position decides, not the game-over flag: that flag outlives a new game and a step back through
    // the history, after which the pieces move again.
    if (IsThreefoldRepetition() || !HasLegalMove()) return InputRefusal::GameOver;
    if (PieceColor(From) != (FWhiteToMove ? 1 : 0)) return InputRefusal::WrongSide;
    return InputRefusal::None;
}

void TChessBrd::RefuseInput(Square Sq, InputRefusal Reason) {
    if (OnInputRefused) OnInputRefused(this, Sq, Reason);
}

QRect TChessBrd::SquareRect(Square Sq) const {
    int x, y;
    SquareToXY(Sq, x, y);
    return {x, y, FSizeOfSquare, FSizeOfSquare};
}

void TChessBrd::UpdateMarks() {
    update(BoardLeft, BoardTop, 8 * FSizeOfSquare, 8 * FSizeOfSquare);
}

// The targets are worked out once, for the position they were marked in; a move, a new position or a
// take-back makes them stale (DropStaleMarks).
void TChessBrd::ShowMarksFor(Square Sq) {
    FMarkSource = Sq;
    FMarkTargets = 0;
    if (Sq != None && RefusalFor(Sq) == InputRefusal::None)
        for (int q = A8; q <= H1; ++q)
            if (IsLegalMove(Sq, static_cast<Square>(q))) FMarkTargets |= std::uint64_t{1} << (q - 1);
    std::memcpy(FMarkPosition.data(), FBoard + 1, 64);
    FMarkWhiteToMove = FWhiteToMove;
    UpdateMarks();
}

bool TChessBrd::MarksStale() const {
    return FMarkSource != None &&
           (FMarkWhiteToMove != FWhiteToMove || std::memcmp(FMarkPosition.data(), FBoard + 1, 64) != 0);
}

void TChessBrd::DropStaleMarks() {
    if (!MarksStale()) return;
    FSelected = None;
    FDeselectOnRelease = false;
    if (FDragActive)
        ShowMarksFor(DragSource);
    else {
        FMarkSource = None;
        FMarkTargets = 0;
        UpdateMarks();
    }
    UpdateApplicationFilter();
}

void TChessBrd::Select(Square Sq) {
    FSelected = Sq;
    FDeselectOnRelease = false;
    ShowMarksFor(Sq);
    UpdateApplicationFilter();
}

void TChessBrd::ClearSelection() {
    FDeselectOnRelease = false;
    if (FSelected == None) return;
    FSelected = None;
    if (!FDragActive) {
        FMarkSource = None;
        FMarkTargets = 0;
    }
    UpdateMarks();
    UpdateApplicationFilter();
}

// The person's own move, played as a drop is. It slides (when moves slide at all): nothing carried the
// piece there, and the short slide shows which piece went where.
void TChessBrd::ClickMove(Square FromSq, Square ToSq) {
    ClearSelection();
    if (const InputRefusal reason = RefusalFor(FromSq); reason != InputRefusal::None) {
        RefuseInput(FromSq, reason);
        return;
    }
    DragSource = FromSq;
    DropTarget = None;
    if (!MakeMove(FromSq, ToSq) && OnIllegalMove) OnIllegalMove(this, FromSq);
}

// A press with click-to-move on: a marked square takes the selected piece, one of the mover's pieces is
// selected, anything else clears the selection. Returns true when the press is used up by a move; a
// press on a piece goes on to become a drag or a click as before.
bool TChessBrd::ClickPress(Qt::MouseButton Button, Square Sq) {
    if (FKeyCursorShown) {
        FKeyCursorShown = false;
        UpdateMarks();
    }
    if (!FClickToMove) {
        ClearSelection();
        return false;
    }
    DropStaleMarks();
    if (Button != Qt::LeftButton) {
        ClearSelection();
        return false;
    }
    if (FSelected != None && Sq != FSelected && Bit(FMarkTargets, Sq) && FMarkSource == FSelected) {
        ClickMove(FSelected, Sq);
        return true;
    }
    if (Sq != None && PieceAt(Sq) != ' ') {
        if (Sq == FSelected)
            FDeselectOnRelease = true;
        else if (RefusalFor(Sq) == InputRefusal::None)
            Select(Sq);
        else
            ClearSelection();
        return false;
    }
    ClearSelection();
    return false;
}

// A press and release on a piece without a drag: the second click on the selected piece puts it down,
// a click on a piece that cannot be picked up says why.
void TChessBrd::ClickRelease(Square Sq) {
    if (!FClickToMove) return;
    if (FDeselectOnRelease) {
        ClearSelection();
        return;
    }
    if (Sq != None && Sq != FSelected) {
        const InputRefusal reason = RefusalFor(Sq);
        if (reason != InputRefusal::None) RefuseInput(Sq, reason);
    }
}

// Enter or Space on the keyboard cursor's square: the same choices as a click.
void TChessBrd::ActOnSquare(Square Sq) {
    DropStaleMarks();
    if (FSelected != None && Sq != FSelected && Bit(FMarkTargets, Sq)) {
        ClickMove(FSelected, Sq);
        return;
    }
    if (Sq == FSelected || PieceAt(Sq) == ' ') {
        ClearSelection();
        return;
    }
    const InputRefusal reason = RefusalFor(Sq);
    if (reason == InputRefusal::None) {
        Select(Sq);
    } else {
        ClearSelection();
        RefuseInput(Sq, reason);
    }
}

void TChessBrd::MoveKeyboardCursor(int Right, int Up) {
    if (!FKeyCursorShown || FKeyCursor == None) {
        if (FKeyCursor == None) FKeyCursor = FSelected != None ? FSelected : (FWhiteToMove ? E2 : E7);
        FKeyCursorShown = true;
    } else {
        // Up is towards the top of the screen, which is rank 1 on a turned board.
        const int sign = FWhiteOnTop ? -1 : 1;
        const int file = std::clamp(FileOf(FKeyCursor) + sign * Right, 1, 8);
        const int rank = std::clamp(RankOf(FKeyCursor) + sign * Up, 1, 8);
        FKeyCursor = SquareOf(file, rank);
    }
    UpdateMarks();
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(CellIndexOf(FKeyCursor));
    QAccessible::updateAccessibility(&focus);
}

void TChessBrd::keyPressEvent(QKeyEvent* e) {
    if (!FKeyboardInput) {
        QWidget::keyPressEvent(e);
        return;
    }
    switch (e->key()) {
    case Qt::Key_Left:
        MoveKeyboardCursor(-1, 0);
        break;
    case Qt::Key_Right:
        MoveKeyboardCursor(1, 0);
        break;
    case Qt::Key_Up:
        MoveKeyboardCursor(0, 1);
        break;
    case Qt::Key_Down:
        MoveKeyboardCursor(0, -1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (!FKeyCursorShown)
            MoveKeyboardCursor(0, 0);
        else
            ActOnSquare(FKeyCursor);
        break;
    case Qt::Key_Escape:
        if (FSelected != None)
            ClearSelection();
        else
            QWidget::keyPressEvent(e);
        break;
    default:
        QWidget::keyPressEvent(e);
        return;
    }
}

void TChessBrd::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    // Arriving by Tab means the keyboard is in use: show where it stands.
    if (FKeyboardInput && (e->reason() == Qt::TabFocusReason || e->reason() == Qt::BacktabFocusReason))
        MoveKeyboardCursor(0, 0);
    else
        UpdateMarks();
}

void TChessBrd::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    UpdateMarks();
}

// Drawn over the canvas, not into it: the canvas keeps exactly the board the drawing rules give (hosts
// draw their own frames into it), and the marks come and go without redrawing squares.
void TChessBrd::PaintMarks(QPainter& p) {
    const bool cursor = FKeyCursorShown && FKeyCursor != None && hasFocus();
    const bool dragMarks = FDragActive && FShowLegalMoves && FMarkSource == DragSource;
    if (FSelected == None && !dragMarks && !cursor) return;
    const int s = FSizeOfSquare;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // Dark green, half covering: it reads on light and dark squares alike and lets the square show.
    const QColor mark(0, 100, 30, 150);
    if (FMarkSource != None && (FSelected != None || dragMarks)) {
        const qreal w = std::max(2.0, s / 13.0);
        p.setPen(QPen(mark, w));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(SquareRect(FMarkSource)).adjusted(w / 2, w / 2, -w / 2, -w / 2));
    }
    if (FShowLegalMoves && FMarkSource != None) {
        for (int q = A8; q <= H1; ++q) {
            const auto sq = static_cast<Square>(q);
            if (!Bit(FMarkTargets, sq)) continue;
            const QRectF r = SquareRect(sq);
            if (PieceAt(sq) != ' ') {
                const qreal w = std::max(2.0, s / 12.0);
                p.setPen(QPen(mark, w));
                p.setBrush(Qt::NoBrush);
                p.drawEllipse(r.adjusted(w / 2 + 1, w / 2 + 1, -w / 2 - 1, -w / 2 - 1));
            } else {
                const qreal radius = std::max(3.0, s / 7.0);
                p.setPen(Qt::NoPen);
                p.setBrush(mark);
                p.drawEllipse(r.center(), radius, radius);
            }
        }
    }
    if (cursor) {
        // Blue and dashed, so that it never passes for the selection.
        QPen pen(QColor(20, 70, 210), std::max(2.0, s / 20.0), Qt::DashLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        const qreal in = pen.widthF() / 2 + 2;
        p.drawRect(QRectF(SquareRect(FKeyCursor)).adjusted(in, in, -in, -in));
    }
    p.restore();
}
