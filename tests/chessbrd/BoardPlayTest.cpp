// Board play beyond dragging: click to move with the legal squares marked, the keyboard's cursor, the
// thinking state around a search, refused input, and the board as a screen reader reads it.
#include "BoardFixture.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Refusal = TChessBrd::InputRefusal;
using Moves = std::vector<std::pair<Square, Square>>;

std::uint64_t Squares(std::initializer_list<Square> list) {
    std::uint64_t set = 0;
    for (Square q : list) set |= std::uint64_t{1} << (q - 1);
    return set;
}

class BoardPlay : public BoardFixture {
public:
    void SetUp() override {
        BoardFixture::SetUp();
        if (HasFatalFailure()) return;
        board->SetClickToMove(true);
        board->SetShowLegalMoves(true);
        board->OnInputRefused = [this](TChessBrd*, Square q, Refusal why) { refused.push_back({q, why}); };
        board->OnThinkingChanged = [this](TChessBrd*, bool on) { thinking.push_back(on); };
    }

    void Key(Qt::Key key) { QTest::keyClick(board, key); }

    std::vector<std::pair<Square, Refusal>> refused;
    std::vector<bool> thinking;
};

} // namespace

TEST_F(BoardPlay, AClickSelectsThePieceAndMarksItsTargetsAndASecondClickMovesIt) {
    Click(G1);
    EXPECT_EQ(board->Selected(), G1);
    EXPECT_EQ(board->MarkedTargets(), Squares({F3, H3}));
    // The marks are drawn over the canvas, never into it: the canvas keeps the plain board.
    const QImage shown = board->grab().toImage();
    int x, y;
    board->SquareToXY(F3, x, y);
    EXPECT_NE(shown.pixelColor(x + 20, y + 20), board->Canvas().pixelColor(x + 20, y + 20)) << "a dot on f3";
    board->SquareToXY(G1, x, y);
    EXPECT_NE(shown.pixelColor(x + 1, y + 1), board->Canvas().pixelColor(x + 1, y + 1)) << "g1 is framed";

    Click(F3);
    EXPECT_EQ(legal, (Moves{{G1, F3}}));
    EXPECT_EQ(board->PieceAt(F3), 'N');
    EXPECT_FALSE(steps.empty()) << "a clicked move slides, since nothing carried the piece";
    EXPECT_EQ(board->Selected(), None);
    EXPECT_EQ(board->MarkedTargets(), 0u);
    EXPECT_TRUE(illegal.empty());
    EXPECT_TRUE(refused.empty());
}

TEST_F(BoardPlay, TheSelectionIsClearedByAClickElsewhereTheRightButtonEscapeOrASecondClick) {
    const struct {
        const char* Name;
        std::function<void(BoardPlay&)> Clear;
    } ways[] = {
        {"click on an empty square that is no target", [](BoardPlay& t) { t.Click(E5); }},
        {"right button", [](BoardPlay& t) { t.Click(A3, Qt::RightButton); }},
        {"Escape, with the focus elsewhere in the window",
         [](BoardPlay& t) { QTest::keyClick(&t.host, Qt::Key_Escape); }},
        {"a second click on the selected piece", [](BoardPlay& t) { t.Click(E2); }},
        {"the board disabled, as gambitron does for the peer's turn",
         [](BoardPlay& t) {
             t.board->setEnabled(false);
             t.board->setEnabled(true);
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.Name);
        Click(E2);
        ASSERT_EQ(board->Selected(), E2);
        way.Clear(*this);
        EXPECT_EQ(board->Selected(), None);
        EXPECT_EQ(board->MarkedTargets(), 0u);
        EXPECT_EQ(board->PieceAt(E2), 'P');
    }
    EXPECT_TRUE(legal.empty());
    EXPECT_TRUE(refused.empty());
}

TEST_F(BoardPlay, ClickingAnotherOfTheMoversPiecesMovesTheSelection) {
    Click(E2);
    Click(D2);
    EXPECT_EQ(board->Selected(), D2);
    EXPECT_EQ(board->MarkedTargets(), Squares({D3, D4}));
}

TEST_F(BoardPlay, APieceOfTheSideNotToMoveIsRefusedWithItsReason) {
    Click(E7);
    EXPECT_EQ(board->Selected(), None);
    EXPECT_EQ(refused, (std::vector<std::pair<Square, Refusal>>{{E7, Refusal::WrongSide}}));

    // A drag of it reports the same, after the illegal drop it always reported.
    QTest::mousePress(board, Qt::LeftButton, {}, Centre(E7));
    Move(Centre(E7) + QPoint(6, 0));
    EXPECT_EQ(board->MarkedTargets(), 0u);
    Move(Centre(E5));
    QTest::mouseRelease(board, Qt::LeftButton, {}, Centre(E5));
    EXPECT_EQ(illegal, std::vector<Square>{E7});
    EXPECT_EQ(refused.back(), std::make_pair(E7, Refusal::WrongSide));
    EXPECT_TRUE(legal.empty());
}

TEST_F(BoardPlay, ADragShowsTheSameMarksAndTakesThemAwayWhenItEnds) {
    QTest::mousePress(board, Qt::LeftButton, {}, Centre(B1));
    Move(Centre(B1) + QPoint(6, 0));
    EXPECT_EQ(board->MarkedTargets(), Squares({A3, C3}));
    Move(Centre(C3));
    QTest::mouseRelease(board, Qt::LeftButton, {}, Centre(C3));
    EXPECT_EQ(legal, (Moves{{B1, C3}}));
    EXPECT_TRUE(steps.empty()) << "a dropped move still does not slide";
    EXPECT_EQ(board->MarkedTargets(), 0u);
    EXPECT_EQ(board->Selected(), None);
}

TEST_F(BoardPlay, AMoveFromElsewhereDropsAStaleSelection) {
    Click(E2);
    board->MakeMove(D2, D4); // a host's move, say from the network
    EXPECT_EQ(board->Selected(), None);
    EXPECT_EQ(board->MarkedTargets(), 0u);
}

TEST_F(BoardPlay, WithClickToMoveOffAClickOnlyClicks) {
    board->SetClickToMove(false);
    Click(E2);
    Click(E4);
    EXPECT_EQ(board->Selected(), None);
    EXPECT_TRUE(legal.empty());
    EXPECT_TRUE(refused.empty());
}

TEST_F(BoardPlay, TheBoardThinksVisiblyWhileTheEngineSearchesAndRefusesInputMeanwhile) {
    board->SetShowThinking(true);
    // Deep enough to take seconds: the click on D2 comes while the computer thinks.
    board->SetSearchDepth(MaxSearchDepth);
    board->SetComputerPlaysBlack(true);
    EXPECT_TRUE(thinking.empty()) << "white to move: nothing to think about";

    Click(E2);
    Click(E4);
    ASSERT_EQ(legal, (Moves{{E2, E4}}));
    EXPECT_TRUE(board->Searching());
    EXPECT_EQ(thinking, std::vector<bool>{true});
    EXPECT_EQ(board->cursor().shape(), Qt::BusyCursor);

    Click(D2);
    EXPECT_EQ(board->Selected(), None);
    EXPECT_EQ(refused, (std::vector<std::pair<Square, Refusal>>{{D2, Refusal::ComputersTurn}}));

    // Called off: the state ends with the search.
    board->SetComputerPlaysBlack(false);
    EXPECT_FALSE(board->Searching());
    EXPECT_EQ(thinking, (std::vector<bool>{true, false}));
    EXPECT_EQ(board->cursor().shape(), Qt::ArrowCursor);

    // A search that ends with the computer's move.
    board->SetSearchDepth(1);
    board->SetComputerPlaysBlack(true);
    EXPECT_EQ(thinking, (std::vector<bool>{true, false, true}));
    ASSERT_TRUE(WaitFor([&] { return legal.size() == 2 && !board->Searching(); }));
    EXPECT_EQ(thinking, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(board->cursor().shape(), Qt::ArrowCursor);
    board->SetComputerPlaysBlack(false);
}

TEST_F(BoardPlay, WithoutShowThinkingTheCursorStaysButTheEventComes) {
    board->SetComputerPlaysBlack(true);
    board->MakeMove(E2, E4);
    EXPECT_EQ(thinking, std::vector<bool>{true});
    EXPECT_EQ(board->cursor().shape(), Qt::ArrowCursor);
    ASSERT_TRUE(WaitFor([&] { return !board->Searching(); }));
    board->SetComputerPlaysBlack(false);
}

TEST_F(BoardPlay, TheKeyboardCursorPlaysAWholeMove) {
    board->SetKeyboardInput(true);
    EXPECT_EQ(board->focusPolicy(), Qt::StrongFocus);
    board->setFocus();
    Key(Qt::Key_Up); // the first key shows the cursor where the mover's pieces are
    EXPECT_TRUE(board->KeyboardCursorShown());
    EXPECT_EQ(board->KeyboardCursor(), E2);
    Key(Qt::Key_Right);
    Key(Qt::Key_Right);
    Key(Qt::Key_Down);
    EXPECT_EQ(board->KeyboardCursor(), G1);
    Key(Qt::Key_Return);
    EXPECT_EQ(board->Selected(), G1);
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    Key(Qt::Key_Left);
    EXPECT_EQ(board->KeyboardCursor(), F3);
    Key(Qt::Key_Space);
    EXPECT_EQ(legal, (Moves{{G1, F3}}));
    EXPECT_EQ(board->Selected(), None);

    // Black's turn: Escape lets go of a piece picked up.
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    EXPECT_EQ(board->KeyboardCursor(), F7);
    Key(Qt::Key_Enter);
    EXPECT_EQ(board->Selected(), F7);
    Key(Qt::Key_Escape);
    EXPECT_EQ(board->Selected(), None);
}

TEST_F(BoardPlay, ArrowsFollowTheScreenOnATurnedBoardAndStopAtTheEdge) {
    board->SetKeyboardInput(true);
    board->SetWhiteOnTop(true);
    board->setFocus();
    Key(Qt::Key_Up);
    ASSERT_EQ(board->KeyboardCursor(), E2);
    const struct {
        Qt::Key Key;
        Square Expected;
    } steps[] = {
        {Qt::Key_Up, E1},    // towards the top of the screen, where rank 1 is
        {Qt::Key_Up, E1},    // the edge
        {Qt::Key_Right, D1}, // towards the right of the screen, where the a-file is
        {Qt::Key_Down, D2},
    };
    for (const auto& step : steps) {
        Key(step.Key);
        EXPECT_EQ(board->KeyboardCursor(), step.Expected);
    }
    Key(Qt::Key_Return);
    EXPECT_EQ(board->Selected(), D2);
}

TEST_F(BoardPlay, KeysOnAPieceThatCannotMoveSayWhy) {
    board->SetKeyboardInput(true);
    board->setFocus();
    Key(Qt::Key_Up);
    for (int i = 0; i < 5; ++i) Key(Qt::Key_Up);
    ASSERT_EQ(board->KeyboardCursor(), E7);
    Key(Qt::Key_Return);
    EXPECT_EQ(board->Selected(), None);
    EXPECT_EQ(refused, (std::vector<std::pair<Square, Refusal>>{{E7, Refusal::WrongSide}}));
}

// --- The accessible board ---
// Qt 6.4 hands accessibility events to an update handler only while a platform bridge is active, which
// the offscreen platform never is; the announcements are read where the board keeps them.

TEST_F(BoardPlay, AScreenReaderReadsTheSquaresAsATableAndHearsEveryMove) {
    std::vector<QString> announced;
    board->OnAnnounce = [&](TChessBrd*, const QString& text) { announced.push_back(text); };
    for (auto [from, to] : {std::pair{E2, E4}, {D7, D5}, {E4, D5}, {D8, D5}, {B1, C3}, {D5, E5}})
        ASSERT_TRUE(board->MakeMove(from, to));

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(board);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Table);
    EXPECT_EQ(iface->childCount(), 64);
    QAccessibleTableInterface* table = iface->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 8);
    EXPECT_EQ(table->columnCount(), 8);

    const struct {
        int Row, Column;
        const char* Name;
    } cells[] = {
        {0, 0, "a8, черная ладья"}, {0, 3, "d8, пусто"},       {3, 4, "e5, черный ферзь"},
        {4, 4, "e4, пусто"},        {5, 2, "c3, белый конь"},  {6, 4, "e2, пусто"},
        {7, 4, "e1, белый король"}, {7, 5, "f1, белый слон"},  {1, 5, "f7, черная пешка"},
        {7, 3, "d1, белый ферзь"},  {0, 2, "c8, черный слон"}, {7, 7, "h1, белая ладья"},
    };
    for (const auto& c : cells) {
        QAccessibleInterface* cell = table->cellAt(c.Row, c.Column);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->role(), QAccessible::Cell);
        EXPECT_EQ(cell->text(QAccessible::Name), QString::fromUtf8(c.Name));
        EXPECT_EQ(cell->tableCellInterface()->rowIndex(), c.Row);
        EXPECT_EQ(cell->parent(), iface);
        EXPECT_EQ(iface->indexOfChild(cell), c.Row * 8 + c.Column);
    }

    const std::vector<QString> expected = {"Ход: E2 - E4",         "Ход: D7 - D5", "Ход: E4 - D5, взятие",
                                           "Ход: D8 - D5, взятие", "Ход: B1 - C3", "Ход: D5 - E5, шах"};
    EXPECT_EQ(announced, expected);
    EXPECT_EQ(iface->text(QAccessible::Description), expected.back());

    // Turned over, the table follows the screen; the keyboard cursor is the focused cell.
    board->SetWhiteOnTop(true);
    EXPECT_EQ(table->cellAt(0, 0)->text(QAccessible::Name), QStringLiteral("h1, белая ладья"));
    board->SetWhiteOnTop(false);
    board->SetKeyboardInput(true);
    board->setFocus();
    Key(Qt::Key_Up);
    QAccessibleInterface* focused = iface->focusChild();
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(focused->text(QAccessible::Name), QStringLiteral("e2, пусто"));
    EXPECT_TRUE(focused->state().focused);
    EXPECT_EQ(iface->indexOfChild(focused), 6 * 8 + 4);
}

TEST_F(BoardPlay, MateIsAnnouncedAsMate) {
    for (auto [from, to] : {std::pair{F2, F3}, {E7, E5}, {G2, G4}, {D8, H4}})
        ASSERT_TRUE(board->MakeMove(from, to));
    EXPECT_EQ(board->Announcement(), QStringLiteral("Ход: D8 - H4, мат"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(board)->text(QAccessible::Description),
              board->Announcement());

    // Nothing can be picked up once the game is over.
    Click(E1);
    EXPECT_EQ(board->Selected(), None);
    EXPECT_EQ(refused, (std::vector<std::pair<Square, Refusal>>{{E1, Refusal::GameOver}}));
}

// The windows take the mate event; its game-over flag must not keep the pieces still once play can go on.
TEST_F(BoardPlay, AfterAMateTheHostHeardOfANewGameOrAStepBackMovesAgain) {
    const struct {
        const char* Name;
        std::function<void(TChessBrd&)> Resume;
        Square Piece;
    } ways[] = {
        {"a new game", [](TChessBrd& b) { b.NewGame(); }, E2},
        {"a step back to before the mate", [](TChessBrd& b) { ASSERT_TRUE(b.GotoMove(2, false)); }, D8},
    };
    int mates = 0;
    board->OnMate = [&](ChessGame*, Square, Square) { ++mates; };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.Name);
        board->NewGame();
        for (auto [from, to] : {std::pair{F2, F3}, {E7, E5}, {G2, G4}, {D8, H4}})
            ASSERT_TRUE(board->MakeMove(from, to));
        refused.clear();
        way.Resume(*board);
        Click(way.Piece);
        EXPECT_EQ(board->Selected(), way.Piece);
        EXPECT_TRUE(refused.empty());
    }
    EXPECT_EQ(mates, 2);
}
