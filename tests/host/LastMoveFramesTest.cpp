// The last-move frames, read back from the board's canvas.
#include "LastMoveFrames.h"
#include "BoardSettings.h"
#include "ChessBrd.h"

#include <QPaintEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QRgb Orange = qRgb(255, 128, 0);

class LastMoveFramesTest : public ::testing::Test {
protected:
    void SetUp() override {
        panel.resize(376, 376);
        board = new TChessBrd(&panel);
        board->move(4, 4);
        ApplyMainWindowBoardSettings(*board);
        board->NewGame();
        board->OnPaint = [this](ChessGame*) { ++fullPaints; };
        panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
        QCoreApplication::processEvents();
        ASSERT_EQ(board->Canvas().size(), board->size());
    }

    QRect SquareRect(Square sq) const {
        int x, y;
        board->SquareToXY(sq, x, y);
        return {x, y, board->GetSizeOfSquare(), board->GetSizeOfSquare()};
    }

    int OrangePixels(const QRect& area) const {
        const QImage& canvas = board->Canvas();
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (canvas.pixel(x, y) == Orange) ++n;
        return n;
    }

    // A frame is a closed orange outline with a side of SizeOfSquare - 4, 2 px inside the square.
    void ExpectFramed(Square sq) const {
        const QRect r = SquareRect(sq);
        const QImage& canvas = board->Canvas();
        const int d = board->GetSizeOfSquare() - 4;
        const int x = r.x() + 2, y = r.y() + 2;
        for (int i = 0; i <= d; i += 4) {
            EXPECT_EQ(canvas.pixel(x, y + i), Orange) << "left edge " << i;
            EXPECT_EQ(canvas.pixel(x + d, y + i), Orange) << "right edge " << i;
            EXPECT_EQ(canvas.pixel(x + i, y), Orange) << "top edge " << i;
            EXPECT_EQ(canvas.pixel(x + i, y + d), Orange) << "bottom edge " << i;
        }
        // The square's own outer pixels and its middle keep their colour.
        EXPECT_NE(canvas.pixel(r.topLeft()), Orange);
        EXPECT_NE(canvas.pixel(r.bottomRight()), Orange);
        EXPECT_NE(canvas.pixel(r.center()), Orange);
    }

    QWidget panel;
    TChessBrd* board = nullptr;
    int fullPaints = 0;
};

} // namespace

TEST_F(LastMoveFramesTest, FrameBothSquaresOfTheMoveInOrange) {
    ASSERT_TRUE(board->MakeMove(E2, E4));
    DrawLastMoveFrames(*board, E2, E4);
    ExpectFramed(E2);
    ExpectFramed(E4);
    EXPECT_EQ(OrangePixels(board->Canvas().rect()),
              OrangePixels(SquareRect(E2)) + OrangePixels(SquareRect(E4)));
}

TEST_F(LastMoveFramesTest, FollowTheBoardsOrientation) {
    board->SetWhiteOnTop(true);
    DrawLastMoveFrames(*board, G1, F3);
    ExpectFramed(G1);
    ExpectFramed(F3);
    EXPECT_EQ(SquareRect(G1).topLeft(), QPoint(24 + 40, 24));
}

TEST_F(LastMoveFramesTest, AreNotDrawnBeforeTheFirstMove) {
    const QImage before = board->Canvas().copy();
    DrawLastMoveFrames(*board, None, None);
    DrawLastMoveFrames(*board, None, E4);
    EXPECT_EQ(board->Canvas(), before);
}

TEST_F(LastMoveFramesTest, VanishWithTheBoardsNextFullPaint) {
    DrawLastMoveFrames(*board, E2, E4);
    ASSERT_GT(OrangePixels(board->Canvas().rect()), 0);
    board->SetWhiteOnTop(true);
    EXPECT_EQ(OrangePixels(board->Canvas().rect()), 0);
    board->SetWhiteOnTop(false);
    EXPECT_EQ(OrangePixels(board->Canvas().rect()), 0);
}

TEST_F(LastMoveFramesTest, AreDrawnAgainWithoutAFullRepaint) {
    const int before = fullPaints;
    for (int i = 0; i < 3; ++i) {
        DrawLastMoveFrames(*board, E2, E4);
        panel.repaint();
        QTest::qWait(30);
    }
    EXPECT_EQ(fullPaints, before);
    ExpectFramed(E2);
    // What the screen shows is the canvas: the frames reach it through the board's own paint.
    const QImage shown = board->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixel(SquareRect(E2).topLeft() + QPoint(2, 10)), Orange);
}

namespace {
// Collects the regions of the paint events a widget receives.
class PaintRegions : public QObject {
public:
    QRegion Painted;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) Painted += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};
} // namespace

TEST_F(LastMoveFramesTest, ShowOnlyTheFramedSquaresAgain) {
    PaintRegions regions;
    board->installEventFilter(&regions);
    DrawLastMoveFrames(*board, E2, E4);
    QTest::qWait(50);
    board->removeEventFilter(&regions);
    ASSERT_FALSE(regions.Painted.isEmpty());
    EXPECT_TRUE((regions.Painted - SquareRect(E2) - SquareRect(E4)).isEmpty());
}

TEST_F(LastMoveFramesTest, OfAnEarlierMoveGoWhenTheNextMoveIsFramed) {
    ASSERT_TRUE(board->MakeMove(E2, E4));
    DrawLastMoveFrames(*board, E2, E4);
    ASSERT_TRUE(board->MakeMove(E7, E5));
    DrawLastMoveFrames(*board, E7, E5);
    EXPECT_EQ(OrangePixels(SquareRect(E2)), 0);
    EXPECT_EQ(OrangePixels(SquareRect(E4)), 0);
    ExpectFramed(E7);
    ExpectFramed(E5);
    // The redrawn square still shows its piece.
    const QImage& canvas = board->Canvas();
    const QRect e4 = SquareRect(E4);
    int dark = 0;
    for (int y = e4.top(); y <= e4.bottom(); ++y)
        for (int x = e4.left(); x <= e4.right(); ++x)
            if (qGray(canvas.pixel(x, y)) < 100) ++dark;
    EXPECT_GT(dark, 20);
}

TEST_F(LastMoveFramesTest, AreSkippedOnABoardNotYetPainted) {
    TChessBrd hidden;
    DrawLastMoveFrames(hidden, E2, E4);
    EXPECT_TRUE(hidden.Canvas().isNull() || hidden.Canvas().size() != hidden.size() ||
                hidden.Canvas().pixel(SquareRect(E2).topLeft() + QPoint(2, 10)) != Orange);
}
