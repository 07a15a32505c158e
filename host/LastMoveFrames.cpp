// The last-move frames, drawn into the board's canvas.
#include "LastMoveFrames.h"

#include "ChessBrd.h"
#include "WinColor.h"

#include <QPainter>

namespace {

// The squares framed last on a board, kept on the board itself so that each board has its own.
constexpr char FramedProperty[] = "lastMoveFramesSquares";

bool OnBoard(Square Sq) {
    return Sq >= A8 && Sq <= H1;
}

// Redraws the squares framed before, unless a full paint has wiped them already (then this is harmless):
// the board redraws only the squares a move changes, so older frames would otherwise stay on the canvas.
void EraseEarlierFrames(TChessBrd& Board, Square From, Square To) {
    const QVariant earlier = Board.property(FramedProperty);
    const int now = From << 8 | To;
    Board.setProperty(FramedProperty, now);
    if (!earlier.isValid() || earlier.toInt() == now) return;
    bool redrawn = false;
    for (int sq : {earlier.toInt() >> 8, earlier.toInt() & 0xFF}) {
        const auto square = static_cast<Square>(sq);
        if (!OnBoard(square)) continue;
        Board.DrawSquare(square);
        Board.DrawPiece(square, Board.PieceAt(square));
        redrawn = true;
    }
    if (redrawn) Board.DrawBoardLines();
}

} // namespace

void DrawLastMoveFrames(TChessBrd& Board, Square From, Square To) {
    // With nothing framed before and nothing to frame (no move yet), the board is left to draw itself
    // without a canvas.
    if (!OnBoard(From) && !Board.property(FramedProperty).isValid()) return;
    // A canvas that does not match the board is stale: the next paint draws it in full anyway.
    QImage& canvas = Board.Canvas();
    if (canvas.isNull() || canvas.deviceIndependentSize().toSize() != Board.size()) return;
    EraseEarlierFrames(Board, From, To);
    if (!OnBoard(From)) return;
    const int s = Board.GetSizeOfSquare();
    int x1, y1;
    Board.SquareToXY(From, x1, y1);
    if (x1 < 0 || x1 > Board.width() - s) return;

    const int d = s - 4;
    QPainter p(&canvas);
    p.setPen(QPen(WinColor(LogColor::Frame), 2));
    p.setBrush(Qt::NoBrush);
    for (Square sq : {From, To}) {
        if (!OnBoard(sq)) continue;
        int x, y;
        Board.SquareToXY(sq, x, y);
        x += 2;
        y += 2;
        const QPoint outline[] = {{x, y}, {x, y + d}, {x + d, y + d}, {x + d, y}, {x, y}};
        p.drawPolyline(outline, 5);
        // Only the frame's own pixels are shown again: a full paint would wipe the frames at once.
        Board.update(x - 2, y - 2, d + 4, d + 4);
    }
}
