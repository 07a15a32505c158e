// Board input tests: dragging pieces with simulated mouse events, slides of moves that were not dragged,
// and resizing by the corner.
#include "BoardFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

class BoardInput : public BoardFixture {
protected:
    QImage SquareImage(Square q) const { return board->Canvas().copy(QRect(Corner(q), QSize(40, 40))); }
    void Drag(Square from, Square to) {
        Press(Centre(from));
        Move(Centre(from) + QPoint(6, 0));
        Move(Centre(to));
        Release(Centre(to));
    }
    // The floating piece that is showing, if any.
    QLabel* FloatingPiece() const {
        for (QLabel* label : host.findChildren<QLabel*>())
            if (!label->isHidden()) return label;
        return nullptr;
    }
    Qt::CursorShape DragCursor() const {
        return QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape()
                                                 : Qt::BlankCursor;
    }
};

} // namespace

TEST_F(BoardInput, SquareFromPointFollowsTheGridAndTheOrientation) {
    EXPECT_EQ(board->SquareFromPoint(23, 100), None);
    EXPECT_EQ(board->SquareFromPoint(24, 24), A8);
    EXPECT_EQ(board->SquareFromPoint(343, 343), H1);
    EXPECT_EQ(board->SquareFromPoint(344, 100), None);
    EXPECT_EQ(board->SquareFromPoint(100, 344), None);
    board->SetWhiteOnTop(true);
    EXPECT_EQ(board->SquareFromPoint(24, 24), H1);
    EXPECT_EQ(board->SquareFromPoint(343, 343), A8);
}

TEST_F(BoardInput, ALegalDragMakesTheMoveWithoutASlide) {
    const QImage emptyLight = SquareImage(E4); // a light square like e2
    Press(Centre(E2));
    Move(Centre(E2) + QPoint(4, 4));
    EXPECT_FALSE(board->IsDragImageShowing()) << "below the 5-pixel threshold";
    Move(Centre(E2) + QPoint(0, -5));
    ASSERT_TRUE(board->IsDragImageShowing());
    EXPECT_EQ(SquareImage(E2), emptyLight) << "the piece has left its square";
    Move(Centre(E4));
    ASSERT_NE(FloatingPiece(), nullptr);
    EXPECT_EQ(FloatingPiece()->pos(), Centre(E4) + board->pos() - QPoint(20, 20));
    EXPECT_EQ(DragCursor(), Qt::DragMoveCursor);
    Move(Centre(E5));
    EXPECT_EQ(DragCursor(), Qt::ForbiddenCursor);
    Move(Centre(E4));
    Release(Centre(E4));

    EXPECT_EQ(board->PieceAt(E4), 'P');
    EXPECT_EQ(board->PieceAt(E2), ' ');
    EXPECT_EQ(legal, (std::vector<std::pair<Square, Square>>{{E2, E4}}));
    EXPECT_TRUE(steps.empty());
    EXPECT_TRUE(illegal.empty());
    EXPECT_EQ(FloatingPiece(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(SquareImage(E2), emptyLight);
    EXPECT_EQ(board->GetDragSource(), E2);
    EXPECT_EQ(board->GetDropTarget(), E4);
}

TEST_F(BoardInput, AnIllegalDragPutsThePieceBackAndReportsItsSquare) {
    const QImage before = SquareImage(E7);
    Drag(E7, E5); // black, but white is to move
    EXPECT_EQ(illegal, std::vector<Square>{E7});
    EXPECT_TRUE(legal.empty());
    EXPECT_EQ(board->PieceAt(E7), 'p');
    EXPECT_EQ(SquareImage(E7), before);
    EXPECT_EQ(FloatingPiece(), nullptr);

    Drag(E2, E5);
    EXPECT_EQ(illegal, (std::vector<Square>{E7, E2}));
    EXPECT_EQ(board->PieceAt(E2), 'P');
}

TEST_F(BoardInput, DroppingOnTheSourceSquareRaisesNothing) {
    const QImage before = SquareImage(G1);
    Press(Centre(G1));
    Move(Centre(F3));
    Move(Centre(G1));
    Release(Centre(G1));
    EXPECT_TRUE(illegal.empty());
    EXPECT_TRUE(legal.empty());
    EXPECT_EQ(SquareImage(G1), before);
}

TEST_F(BoardInput, APressWithoutADragChangesNothing) {
    const QImage before = board->Canvas().copy();
    Press(Centre(E2));
    Move(Centre(E2) + QPoint(4, -4));
    Release(Centre(E2) + QPoint(4, -4));
    Press(Centre(E4)); // an empty square starts nothing
    Move(Centre(E5));
    Release(Centre(E5));
    EXPECT_EQ(board->Canvas(), before);
    EXPECT_TRUE(illegal.empty());
    EXPECT_EQ(FloatingPiece(), nullptr);
}

TEST_F(BoardInput, EscapeReleaseOutsideAndHidingCancelTheDrag) {
    const QImage before = SquareImage(D2);
    int clicks = 0;
    board->OnClick = [&](TChessBrd*) { ++clicks; };
    Press(Centre(D2));
    Move(Centre(D4));
    QTest::keyClick(board, Qt::Key_Escape);
    EXPECT_EQ(illegal, std::vector<Square>{D2});
    EXPECT_EQ(FloatingPiece(), nullptr);
    EXPECT_EQ(SquareImage(D2), before);
    Move(Centre(D3));
    Release(Centre(D3));
    EXPECT_EQ(illegal.size(), 1u) << "the drag ended with Escape";
    EXPECT_EQ(clicks, 0) << "the release after Escape belongs to the cancelled drag";
    EXPECT_EQ(board->PieceAt(D2), 'P');

    Press(Centre(D2));
    Move(Centre(D4));
    Move(QPoint(-30, 100));
    EXPECT_EQ(DragCursor(), Qt::ForbiddenCursor);
    Release(QPoint(-30, 100));
    EXPECT_EQ(illegal, (std::vector<Square>{D2, D2}));
    EXPECT_EQ(SquareImage(D2), before);

    Press(Centre(D2));
    Move(Centre(D4));
    board->hide();
    EXPECT_EQ(illegal.size(), 3u);
    EXPECT_EQ(FloatingPiece(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(BoardInput, ADropTheHostAcceptsButTheRulesRefuseLeavesNoHole) {
    board->OnDragOver = [](TChessBrd*, int, int, bool& accept) { accept = true; };
    const QImage before = SquareImage(E2);
    Drag(E2, E5);
    EXPECT_EQ(board->PieceAt(E2), 'P');
    EXPECT_EQ(SquareImage(E2), before);
    EXPECT_EQ(illegal, std::vector<Square>{E2});
}

TEST_F(BoardInput, ADragWhileTheEngineThinksIsRefused) {
    board->SetSearchDepth(8);
    board->SetComputerPlaysWhite(true);
    ASSERT_TRUE(WaitFor([&] { return board->GetThinking(); }));
    Drag(E2, E4);
    Press(Centre(G1));
    Move(Centre(F3));
    Move(Centre(G1));
    Release(Centre(G1));
    const bool stillThinking = board->GetThinking();
    board->SetComputerPlaysWhite(false);
    ASSERT_TRUE(stillThinking) << "the search ended too early for this test";
    EXPECT_EQ(illegal, (std::vector<Square>{E2, G1}));
    EXPECT_EQ(board->PieceAt(E2), 'P');
}

TEST_F(BoardInput, TheComputersReplySlidesFromItsSquareToItsDestination) {
    board->SetComputerPlaysBlack(true);
    Drag(E2, E4);
    ASSERT_TRUE(WaitFor([&] { return legal.size() == 2; }));
    board->SetComputerPlaysBlack(false);
    const auto [from, to] = legal[1];
    const QPoint a = Corner(from) + board->pos(), b = Corner(to) + board->pos();
    const int dx = std::abs(b.x() - a.x()), dy = std::abs(b.y() - a.y());
    const bool knight = board->PieceAt(to) == 'n';
    ASSERT_EQ(int(steps.size()), knight ? dx + dy + 2 : std::max(dx, dy) + 1);
    EXPECT_EQ(steps.front(), a);
    EXPECT_EQ(steps.back(), b);
    EXPECT_EQ(FloatingPiece(), nullptr);
}

TEST_F(BoardInput, AHostMoveSlidesOnePixelPerStep) {
    ASSERT_TRUE(board->MakeMove(E2, E4));
    ASSERT_EQ(steps.size(), 81u);
    EXPECT_EQ(board->AnimationSteps(), 81);
    for (size_t i = 0; i < steps.size(); ++i)
        EXPECT_EQ(steps[i], Corner(E2) + board->pos() - QPoint(0, int(i)));
    EXPECT_EQ(FloatingPiece(), nullptr);

    // A diagonal runs along its longer axis, the shorter one truncated.
    steps.clear();
    ASSERT_TRUE(board->MakeMove(E7, E5));
    steps.clear();
    ASSERT_TRUE(board->MakeMove(F1, B5));
    ASSERT_EQ(steps.size(), 161u);
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].x(), Corner(F1).x() + 4 - int(i));
        EXPECT_EQ(steps[i].y(), Corner(F1).y() + 4 - int(i));
    }
}

TEST_F(BoardInput, AKnightSlidesAlongTheRowFirst) {
    ASSERT_TRUE(board->MakeMove(G1, F3));
    ASSERT_EQ(steps.size(), 40u + 80u + 2u);
    const QPoint a = Corner(G1) + board->pos(), b = Corner(F3) + board->pos();
    for (int i = 0; i <= 40; ++i) EXPECT_EQ(steps[i], QPoint(a.x() - i, a.y()));
    for (int i = 0; i <= 80; ++i) EXPECT_EQ(steps[41 + i], QPoint(b.x(), a.y() - i));
}

TEST_F(BoardInput, TheDelayStretchesEveryStepAndAnimateMovesOffSkipsTheSlide) {
    board->SetAnimationDelay(5);
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(board->MakeMove(E2, E3));
    EXPECT_EQ(steps.size(), 41u);
    EXPECT_GT(t.elapsed(), 41 * 5);

    steps.clear();
    board->SetAnimateMoves(false);
    ASSERT_TRUE(board->MakeMove(E7, E5));
    EXPECT_TRUE(steps.empty());
    EXPECT_EQ(board->PieceAt(E5), 'p');
}

TEST_F(BoardInput, ASlideDuringADragIsSkippedAndTheFloatingPieceComesBack) {
    Press(Centre(B1));
    Move(Centre(C3));
    ASSERT_TRUE(board->IsDragImageShowing());
    ASSERT_TRUE(board->MakeMove(E2, E4));
    EXPECT_TRUE(steps.empty());
    EXPECT_FALSE(board->IsDragImageShowing());
    EXPECT_EQ(board->PieceAt(E4), 'P');
    Move(Centre(C3) + QPoint(1, 1));
    EXPECT_TRUE(board->IsDragImageShowing());
    Release(Centre(C3));
    EXPECT_EQ(illegal, std::vector<Square>{B1}) << "black is to move now";
}

namespace {

// A position of a few pieces on an empty board.
std::string PositionWith(std::initializer_list<std::pair<Square, char>> Pieces) {
    std::string position(64, ' ');
    for (auto [square, letter] : Pieces) position[square - 1] = letter;
    return position;
}

} // namespace

// A move that takes the dragged piece, moves it or takes it away ends the drag as Escape does; the
// floating piece must never turn into whatever stands on its square now.
TEST_F(BoardInput, AMoveThatChangesTheDraggedSquareCancelsTheDrag) {
    struct Case {
        const char* what;
        std::string position;
        bool whiteToMove;
        std::pair<Square, Square> before; // played first, (None, None) for nothing
        Square dragged;
        std::pair<Square, Square> move;
    };
    const Case cases[] = {
        {"a capture on it",
         PositionWith({{E1, 'K'}, {E8, 'k'}, {D5, 'Q'}, {C6, 'p'}}),
         false,
         {None, None},
         D5,
         {C6, D5}},
        {"the dragged piece moved by the host", "init", true, {None, None}, E2, {E2, E4}},
        {"a pawn taken en passant",
         PositionWith({{E1, 'K'}, {E8, 'k'}, {E5, 'P'}, {D7, 'p'}}),
         false,
         {D7, D5},
         D5,
         {E5, D6}},
        {"the rook of a castling",
         PositionWith({{E1, 'K'}, {H1, 'R'}, {E8, 'k'}}),
         true,
         {None, None},
         H1,
         {E1, G1}},
    };
    int clicks = 0;
    board->OnClick = [&](TChessBrd*) { ++clicks; };
    board->OnIllegalMove = [this](ChessGame*, Square q) {
        illegal.push_back(q);
        EXPECT_TRUE(legal.empty()) << "the drag ends before the move is played";
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        board->SetPosition(c.position);
        board->SetWhiteToMove(c.whiteToMove);
        if (c.before.first != None) {
            ASSERT_TRUE(board->MakeMove(c.before.first, c.before.second));
        }
        illegal.clear();
        legal.clear();
        steps.clear();

        Press(Centre(c.dragged));
        Move(Centre(c.dragged) + QPoint(0, -30));
        ASSERT_TRUE(board->IsDragImageShowing());
        ASSERT_TRUE(board->MakeMove(c.move.first, c.move.second));
        EXPECT_EQ(illegal, std::vector<Square>{c.dragged});
        EXPECT_EQ(legal, (std::vector<std::pair<Square, Square>>{c.move}));
        EXPECT_FALSE(steps.empty()) << "with no piece in the hand the move slides";
        EXPECT_EQ(FloatingPiece(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

        // The rest of the gesture belongs to the cancelled drag.
        Move(Centre(c.dragged) + QPoint(0, -31));
        EXPECT_FALSE(board->IsDragImageShowing());
        const QImage shown = board->Canvas().copy();
        board->Paint();
        EXPECT_EQ(shown, board->Canvas()) << "every square is drawn as it stands";
        Release(Centre(c.dragged) + QPoint(0, -31));
        EXPECT_EQ(illegal.size(), 1u);
        EXPECT_EQ(clicks, 0);
    }
}

// The player's case: the white queen is in the hand while the computer, thinking for black, takes it.
TEST_F(BoardInput, TheComputerTakingTheDraggedPieceCancelsTheDrag) {
    board->SetPosition(PositionWith({{E1, 'K'}, {E8, 'k'}, {D5, 'Q'}, {C6, 'p'}}));
    board->SetWhiteToMove(false);
    Press(Centre(D5));
    Move(Centre(D5) + QPoint(30, 0));
    ASSERT_TRUE(board->IsDragImageShowing());
    board->SetComputerPlaysBlack(true);
    ASSERT_TRUE(WaitFor([&] { return !legal.empty(); }));
    board->SetComputerPlaysBlack(false);
    ASSERT_EQ(legal, (std::vector<std::pair<Square, Square>>{{C6, D5}}));
    EXPECT_EQ(illegal, std::vector<Square>{D5});
    Move(Centre(D5) + QPoint(31, 0));
    EXPECT_EQ(FloatingPiece(), nullptr);
    const QImage shown = SquareImage(D5);
    board->Paint();
    EXPECT_EQ(shown, SquareImage(D5)) << "d5 shows the pawn that took the queen";
    Release(Centre(D5) + QPoint(31, 0));
    EXPECT_EQ(illegal.size(), 1u);
    EXPECT_EQ(board->PieceAt(D5), 'p');
}

// A press that has not yet become a drag lets go of a square a move changes; its release is no click.
TEST_F(BoardInput, APressOnASquareAMoveChangesNeverBecomesADrag) {
    int clicks = 0;
    board->OnClick = [&](TChessBrd*) { ++clicks; };
    Press(Centre(E2));
    ASSERT_TRUE(board->MakeMove(E2, E4));
    Move(Centre(E2) + QPoint(0, -30));
    EXPECT_FALSE(board->IsDragImageShowing());
    Release(Centre(E2) + QPoint(0, -30));
    EXPECT_TRUE(illegal.empty());
    EXPECT_EQ(legal.size(), 1u);
    EXPECT_EQ(clicks, 0);
}

// A new position under a held piece (a new game, a take-back, a position set by the host) ends the drag
// at the next pointer movement, before the piece could be dropped as another.
TEST_F(BoardInput, APieceReplacedWithoutAMoveIsLetGoOf) {
    struct Case {
        const char* what;
        Square dragged;
        std::function<void()> replace;
    };
    const Case cases[] = {
        {"a new game", E4, [&] { board->NewGame(); }},
        {"a take-back", E5, [&] { ASSERT_TRUE(board->GotoMove(1, true)); }},
        {"another position", D2,
         [&] {
             board->SetPosition(PositionWith({{E1, 'K'}, {E8, 'k'}, {D2, 'Q'}}));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        board->NewGame();
        ASSERT_TRUE(board->MakeMove(E2, E4));
        ASSERT_TRUE(board->MakeMove(E7, E5));
        illegal.clear();
        legal.clear();
        Press(Centre(c.dragged));
        Move(Centre(c.dragged) + QPoint(0, 30));
        ASSERT_TRUE(board->IsDragImageShowing());
        c.replace();
        Move(Centre(D4));
        EXPECT_EQ(illegal, std::vector<Square>{c.dragged});
        EXPECT_EQ(FloatingPiece(), nullptr);
        Release(Centre(D4));
        EXPECT_EQ(illegal.size(), 1u);
        EXPECT_TRUE(legal.empty()) << "nothing was dropped";
    }
}

TEST_F(BoardInput, TheCornerResizesTheBoardWithinItsLimits) {
    const QPoint corner(363, 363);
    Move(corner, Qt::NoButton);
    EXPECT_EQ(board->cursor().shape(), Qt::ArrowCursor) << "not resizable yet";

    board->SetResizable(true);
    Move(corner, Qt::NoButton);
    EXPECT_EQ(board->cursor().shape(), Qt::SizeFDiagCursor);
    Move(QPoint(200, 200), Qt::NoButton);
    EXPECT_EQ(board->cursor().shape(), Qt::ArrowCursor);

    Press(corner);
    Move(corner);
    Move(QPoint(700, 650));
    EXPECT_EQ(board->width(), 700);
    EXPECT_EQ(board->height(), 368);
    QCoreApplication::processEvents();
    EXPECT_EQ(board->width(), 528);
    EXPECT_EQ(board->height(), 528);

    Move(QPoint(50, 40));
    EXPECT_EQ(board->width(), 100);
    Release(QPoint(50, 40));
    QCoreApplication::processEvents();
    const int settled = board->width();
    EXPECT_EQ(settled, board->height());
    Move(QPoint(300, 300));
    EXPECT_EQ(board->width(), settled) << "the release ended the resize";
}

// What a host sees of a move in progress, from inside the move's own events and after it.
TEST_F(BoardInput, AMoveIsInProgressInsideItsEventsAndItsSlideOnly) {
    std::vector<bool> seenInEvents, seenInSlide;
    board->OnLegalMove = [&](ChessGame* sender, Square, Square) {
        seenInEvents.push_back(sender->MoveInProgress());
    };
    board->OnPaint = [&](ChessGame* sender) { seenInEvents.push_back(sender->MoveInProgress()); };
    board->OnAnimationStep = [&](int, int) { seenInSlide.push_back(board->MoveInProgress()); };
    EXPECT_FALSE(board->MoveInProgress());

    ASSERT_TRUE(board->MakeMove(E2, E4)); // a host's move: it slides
    EXPECT_FALSE(board->MoveInProgress());
    EXPECT_EQ(seenInEvents, (std::vector<bool>{true, true}));
    ASSERT_FALSE(seenInSlide.empty());
    EXPECT_EQ(std::count(seenInSlide.begin(), seenInSlide.end(), false), 0);

    seenInEvents.clear();
    Drag(E7, E5); // a person's drop
    EXPECT_EQ(seenInEvents, (std::vector<bool>{true, true}));
    EXPECT_FALSE(board->MoveInProgress());

    seenInEvents.clear();
    EXPECT_FALSE(board->MakeMove(E4, E6)); // refused: no event, and nothing left in progress
    EXPECT_TRUE(seenInEvents.empty());
    EXPECT_FALSE(board->MoveInProgress());
}

// Closing, hiding, disabling or destroying what holds a dragged piece ends the drag as a cancel.
class DragInterrupted : public BoardInput {
protected:
    void StartDrag() {
        Press(Centre(D2));
        Move(Centre(D4));
        ASSERT_TRUE(board->IsDragImageShowing());
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    }
    void ExpectCancelled() {
        EXPECT_EQ(illegal, std::vector<Square>{D2});
        EXPECT_TRUE(legal.empty());
        EXPECT_EQ(FloatingPiece(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(board->PieceAt(D2), 'P');
    }
};

TEST_F(DragInterrupted, ClosingTheWindowCancelsTheDrag) {
    const QImage before = SquareImage(D2);
    StartDrag();
    EXPECT_TRUE(host.close());
    ExpectCancelled();
    EXPECT_EQ(SquareImage(D2), before);
    // Shown again, the window holds no stray piece and the board takes a new drag.
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    EXPECT_EQ(FloatingPiece(), nullptr);
    Drag(D2, D4);
    EXPECT_EQ(legal, (std::vector<std::pair<Square, Square>>{{D2, D4}}));
}

TEST_F(DragInterrupted, DisablingTheBoardOrItsPanelCancelsTheDragLikeEscape) {
    int clicks = 0;
    board->OnClick = [&](TChessBrd*) { ++clicks; };
    for (QWidget* disabled : {static_cast<QWidget*>(board), static_cast<QWidget*>(&host)}) {
        illegal.clear();
        StartDrag();
        disabled->setEnabled(false);
        ExpectCancelled();
        // The release reaches a board that takes input again: it ends the cancelled drag, nothing more.
        disabled->setEnabled(true);
        Move(Centre(D4));
        Release(Centre(D4));
        EXPECT_EQ(illegal.size(), 1u);
        EXPECT_TRUE(legal.empty());
        EXPECT_EQ(clicks, 0);
        EXPECT_FALSE(board->IsDragImageShowing());
    }
    // The release may also never come, while the panel is disabled: the next click is a click again.
    StartDrag();
    host.setEnabled(false);
    host.setEnabled(true);
    QTest::mouseClick(board, Qt::LeftButton, {}, Centre(E4));
    EXPECT_EQ(clicks, 1);
}

TEST_F(DragInterrupted, APressOnADisabledPanelNeverBecomesADrag) {
    Press(Centre(D2));
    host.setEnabled(false);
    host.setEnabled(true);
    Move(Centre(D4));
    EXPECT_FALSE(board->IsDragImageShowing());
    Release(Centre(D4));
    EXPECT_TRUE(legal.empty());
}

TEST(DragDestroyed, DestroyingTheWindowOrTheBoardMidDragLeavesNothingBehind) {
    for (bool wholeWindow : {true, false}) {
        auto* window = new QWidget;
        window->resize(400, 400);
        auto* board = new TChessBrd(window);
        int events = 0;
        board->OnIllegalMove = [&](ChessGame*, Square) { ++events; };
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        int x, y;
        board->SquareToXY(D2, x, y);
        QTest::mousePress(board, Qt::LeftButton, {}, QPoint(x + 20, y + 20));
        QMouseEvent move(QEvent::MouseMove, QPoint(x + 20, y - 40),
                         board->mapToGlobal(QPoint(x + 20, y - 40)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(board, &move);
        ASSERT_TRUE(board->IsDragImageShowing());
        if (wholeWindow) {
            delete window;
        } else {
            delete board;
            EXPECT_TRUE(window->findChildren<QLabel*>().isEmpty())
                << "the floating piece went with the board";
            delete window;
        }
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        // The board no longer filters the application's keys.
        QWidget other;
        other.show();
        QTest::keyClick(&other, Qt::Key_Escape);
    }
}

namespace {

double ProcessCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

} // namespace

// A slide is paced by the clock, so that it can be seen on any machine, and waits without spinning.
TEST_F(BoardInput, ASlideTakesItsTimeWhateverItsLengthAndSpendsItWaiting) {
    for (auto [from, to] : {std::pair{E2, E3}, {E7, E5}, {F1, B5}}) {
        QElapsedTimer wall;
        wall.start();
        const double cpu0 = ProcessCpuMs();
        ASSERT_TRUE(board->MakeMove(from, to));
        const double cpu = ProcessCpuMs() - cpu0;
        const qint64 elapsed = wall.elapsed();
        EXPECT_GE(elapsed, 150) << "a slide must be long enough to be seen";
        EXPECT_LT(cpu, 0.5 * double(elapsed)) << "the wait between steps sleeps";
    }
}

TEST_F(BoardInput, DuringASlideTheWindowPaintsButSocketsWaitForTheMoveToEnd) {
    int sockets[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, sockets), 0);
    QSocketNotifier notifier(sockets[0], QSocketNotifier::Read);
    std::vector<bool> readDuringMove;
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        char c;
        EXPECT_EQ(read(sockets[0], &c, 1), 1);
        readDuringMove.push_back(board->MoveInProgress());
    });
    int ticksDuringMove = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] { ticksDuringMove += board->MoveInProgress(); });
    PaintCounter counter;
    board->OnAnimationStep = [&](int, int) {
        if (steps.empty()) {
            EXPECT_EQ(write(sockets[1], "m", 1), 1); // a peer's message arrives as the slide starts
            tick.start();
            qApp->installEventFilter(&counter);
        }
        steps.push_back({});
    };

    ASSERT_TRUE(board->MakeMove(E2, E4));
    qApp->removeEventFilter(&counter);
    EXPECT_TRUE(readDuringMove.empty()) << "the message waits until the move is complete";
    EXPECT_GT(ticksDuringMove, 5) << "timers run during the slide";
    EXPECT_GT(counter.paints, 5) << "the sliding piece is painted as it goes";
    ASSERT_TRUE(WaitFor([&] { return !readDuringMove.empty(); }));
    EXPECT_EQ(readDuringMove, std::vector<bool>{false});
    close(sockets[0]);
    close(sockets[1]);
}

TEST_F(BoardInput, ACustomEngineIsNotAskedAgainWhileItsMoveSlides) {
    int asked = 0;
    board->SetCustomEngine(true);
    board->OnCalculateMove = [&](ChessGame*, Square& from, Square& to) {
        ++asked;
        from = E7, to = E5;
    };
    board->SetComputerPlaysBlack(true);
    ASSERT_TRUE(board->MakeMove(E2, E4));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(legal, (std::vector<std::pair<Square, Square>>{{E2, E4}, {E7, E5}}));
    EXPECT_EQ(board->PieceAt(E5), 'p');
    EXPECT_EQ(board->PieceAt(E7), ' ');
    EXPECT_TRUE(board->GetWhiteToMove());
}
