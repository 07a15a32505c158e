// TChessBrd drawing: the full paint into the canvas, the single-square redraws and the size rule.
#include "ChessBrd.h"

#include <QPaintEvent>
#include <QPainter>

#include <QtMath>

#include <algorithm>
#include <cmath>

void TChessBrd::Paint() {
    if (FInSettings) {
        FCanvasValid = false;
        return;
    }
    DropStaleMarks();
    if (OnPaint) OnPaint(this);
    const qreal ratio = CanvasRatio();
    ApplySizeRule();
    if (FCanvasSize != size() || FCanvasRatio != ratio) {
        // Made again at the new size when it is next needed.
        FCanvas = QImage();
        FCanvasSize = size();
        FCanvasRatio = ratio;
    }
    std::copy_n(FBoard + A8, FPaintedPieces.size(), FPaintedPieces.begin());
    FCanvasValid = true;
    if (!FCanvas.isNull()) {
        QPainter p(&FCanvas);
        DrawBoard(p);
    } else if (ratio != devicePixelRatioF() || ratio != std::floor(ratio)) {
        // Drawn in place, a board at another scale than the screen's would come out differently, and at
        // a fractional scale it would start between device pixels: only a canvas, shown whole, keeps it.
        EnsureCanvas();
    }
    update();
    if (!Painted) {
        Painted = true;
        StartThinking();
        PollTimer->setInterval(500);
        connect(PollTimer, &QTimer::timeout, this, &TChessBrd::TimerTick);
        PollTimer->start();
    }
}

// The canvas holds the last full paint and the single squares drawn since. Most windows are shown and
// looked at for a while before a square changes, so it is made (from the last full paint) only then.
bool TChessBrd::EnsureCanvas() {
    if (!CanvasReady()) return false;
    if (FCanvas.isNull()) {
        // As many device pixels as the screen gives the board, so that nothing is scaled on the way.
        FCanvas = QImage(qCeil(FCanvasSize.width() * FCanvasRatio),
                         qCeil(FCanvasSize.height() * FCanvasRatio), QImage::Format_RGB32);
        FCanvas.setDevicePixelRatio(FCanvasRatio);
        QPainter p(&FCanvas);
        DrawBoard(p);
    }
    return true;
}

void TChessBrd::DrawBoard(QPainter& p) {
    DrawBorder(p);
    DrawSquares(p);
    DrawPieces(p);
}

// The square size follows the mean of width and height. Below one pixel per square nothing sensible can
// be drawn, so a control squeezed smaller than its border settles at the least drawable size.
void TChessBrd::ApplySizeRule() {
    const int b = FSizeOfBorder;
    FSizeOfSquare = std::max(((width() + height()) / 2 - 2 * b) / 8, 1);
    const int side = 8 * FSizeOfSquare + 2 * b;
    if (width() != side || height() != side) resize(side, side);
}

bool TChessBrd::CanvasReady() const {
    return FCanvasValid && FCanvasSize == size() && FCanvasRatio == CanvasRatio();
}

// The labels are placed by the font's point size; a font given in pixels is converted at 96 dots per inch,
// the way the main windows' 11-pixel font counts as 8 points.
int TChessBrd::CoordFontSize() const {
    if (FCoordFont.pointSize() > 0) return FCoordFont.pointSize();
    if (FCoordFont.pixelSize() > 0) return (FCoordFont.pixelSize() * 72 + 48) / 96;
    return 0;
}

void TChessBrd::FillArea(QPainter& p, const QImage& Bitmap, const QColor& Color, const QRegion& Clip) {
    p.setClipRegion(Clip);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    if (HasImage(Bitmap)) {
        // Tiles start at the control's corner, so a pattern runs on unbroken from square to square.
        p.setBrushOrigin(0, 0);
        p.fillRect(Clip.boundingRect(), QBrush(Bitmap));
    } else {
        p.fillRect(Clip.boundingRect(), Color);
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TChessBrd::DrawBorder(QPainter& p) {
    const int w = FCanvasSize.width(), h = FCanvasSize.height();
    const int b = FSizeOfBorder, s = FSizeOfSquare;
    p.save();
    FillArea(p, FBorderBitmap, FBorderColor,
             QRegion(0, 0, w, h).subtracted(QRegion(b, b, w - 2 * b, h - 2 * b)));

    p.setFont(FCoordFont);
    p.setPen(FCoordFontColor);
    const char* letters = FWhiteOnTop ? "HGFEDCBA" : "ABCDEFGH";
    const int f = CoordFontSize();
    const QFontMetrics fm = p.fontMetrics();
    // A font larger than the border or the square would push the labels off the control: keep them in.
    const int a = std::max((b - f) / 2 + 1, 0);
    const int half = std::max((s - f) / 2, 0);
    const int t = fm.height() / 4;
    const int northY = std::max(a - t, 0);
    const int southY = std::max(h - b + a - t, h - b);
    auto text = [&](int x, int y, const QString& str) { p.drawText(x, y + fm.ascent(), str); };
    for (int i = 0; i < 8; ++i) {
        const QString number = QString::number(FWhiteOnTop ? i + 1 : 8 - i);
        const QString letter = QString(QChar(letters[i]));
        const int along = b + i * s + half;
        if (FDisplayCoords.Contains(West)) text(a, along, number);
        if (FDisplayCoords.Contains(East)) text(w - b + a, along, number);
        if (FDisplayCoords.Contains(North)) text(along, northY, letter);
        if (FDisplayCoords.Contains(South)) text(along, southY, letter);
    }

    p.setPen(FLineStyle);
    p.setBrush(Qt::NoBrush);
    const QPoint outer[] = {{0, 0}, {w - 1, 0}, {w - 1, w - 1}, {0, w - 1}, {0, 0}};
    p.drawPolyline(outer, 5);
    const QPoint inner[] = {{b - 1, b - 1}, {w - b, b - 1}, {w - b, w - b}, {b - 1, w - b}, {b - 1, b - 1}};
    p.drawPolyline(inner, 5);
    p.restore();
}

void TChessBrd::DrawSquares(QPainter& p) {
    const int b = FSizeOfBorder, s = FSizeOfSquare;
    const QRegion board(b, b, FCanvasSize.width() - 2 * b, FCanvasSize.height() - 2 * b);
    // Dark pass first, then light: each pass clips away the squares of the other colour.
    for (int j = 0; j < 2; ++j) {
        p.save();
        QRegion clip = board;
        for (int k = 0; k < 8; ++k)
            for (int i = 0; i < 4; ++i) clip -= QRegion(b + (2 * i + ((k % 2) ^ j)) * s, b + k * s, s, s);
        if (j == 0)
            FillArea(p, FSquareDark, FSquareColorDark, clip);
        else
            FillArea(p, FSquareLight, FSquareColorLight, clip);
        p.restore();
    }
    DrawBoardLinesOn(p);
}

void TChessBrd::DrawPieces(QPainter& p) {
    for (int q = A8; q <= H1; ++q) {
        const char piece = FPaintedPieces[q - A8];
        if (piece != ' ') DrawPieceOn(p, static_cast<Square>(q), piece);
    }
}

void TChessBrd::DrawSquareOn(QPainter& p, Square Sq) {
    int x, y;
    SquareToXY(Sq, x, y);
    p.save();
    const QRegion clip(x, y, FSizeOfSquare, FSizeOfSquare);
    if (IsLightSquare(Sq))
        FillArea(p, FSquareLight, FSquareColorLight, clip);
    else
        FillArea(p, FSquareDark, FSquareColorDark, clip);
    p.restore();
}

QRect TChessBrd::DrawPieceOn(QPainter& p, Square Sq, char Piece) {
    EnsurePieceImages();
    const int index = PieceImageIndex(Piece);
    if (index < 0 || PieceImages[index].isNull()) return {};
    int x, y;
    SquareToXY(Sq, x, y);
    const int o = (FSizeOfSquare - PieceSize) / 2;
    p.drawPixmap(x + o, y + o, PieceImages[index]);
    return {x + o, y + o, PieceSize, PieceSize};
}

void TChessBrd::DrawBoardLinesOn(QPainter& p) {
    if (!FBoardLines) return;
    const int w = FCanvasSize.width(), h = FCanvasSize.height(), s = FSizeOfSquare;
    p.save();
    p.setClipping(false);
    p.setPen(FLineStyle);
    for (int i = 1; i <= 7; ++i) {
        // The far ends are exclusive: the grid's outer edge belongs to the inner frame.
        p.drawLine(BoardLeft + i * s, BoardTop, BoardLeft + i * s, h - BoardTop - 1);
        p.drawLine(BoardLeft, BoardTop + i * s, w - BoardLeft - 1, BoardTop + i * s);
    }
    p.restore();
}

void TChessBrd::DrawSquare(Square Sq) {
    // Every change of the position redraws squares: marks made for the old one go first.
    DropStaleMarks();
    if (Sq < A8 || Sq > H1 || !EnsureCanvas()) return;
    {
        QPainter p(&FCanvas);
        DrawSquareOn(p, Sq);
    }
    int x, y;
    SquareToXY(Sq, x, y);
    update(x, y, FSizeOfSquare, FSizeOfSquare);
}

void TChessBrd::DrawPiece(Square Sq, char Piece) {
    if (Sq < A8 || Sq > H1 || !EnsureCanvas()) return;
    QRect changed;
    {
        QPainter p(&FCanvas);
        changed = DrawPieceOn(p, Sq, Piece);
    }
    if (!changed.isEmpty()) update(changed);
}

void TChessBrd::DrawBoardLines() {
    if (!FBoardLines || !EnsureCanvas()) return;
    {
        QPainter p(&FCanvas);
        DrawBoardLinesOn(p);
    }
    update(BoardLeft, BoardTop, 8 * FSizeOfSquare, 8 * FSizeOfSquare);
}

void TChessBrd::SquareToXY(Square Sq, int& X, int& Y) const {
    const int file = FileOf(Sq), rank = RankOf(Sq);
    const int column = FWhiteOnTop ? 8 - file : file - 1;
    const int row = FWhiteOnTop ? rank - 1 : 8 - rank;
    X = BoardLeft + column * FSizeOfSquare;
    Y = BoardTop + row * FSizeOfSquare;
}

// A resize or the first show leaves the canvas stale; only then does the paint event start a full paint.
// It shows the canvas, or while there is none, draws the last full paint in place.
void TChessBrd::paintEvent(QPaintEvent* e) {
    if (!CanvasReady()) Paint();
    QPainter p(this);
    // The whole canvas under the event's clip: at a fractional scale a part of it would start between
    // device pixels and be resampled.
    p.setClipRegion(e->region());
    if (FCanvas.isNull())
        DrawBoard(p);
    else
        p.drawImage(QPoint(0, 0), FCanvas);
    PaintMarks(p);
}

void TChessBrd::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    update();
}
