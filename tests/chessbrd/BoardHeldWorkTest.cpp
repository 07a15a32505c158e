// Work held until the move in progress has completed: its order, and that one piece never runs inside
// another or inside a move.
#include "ChessBrd.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace {

class HeldWork : public ::testing::Test {
protected:
    void SetUp() override {
        host.resize(400, 400);
        board = new TChessBrd(&host);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }

    // Records a step of work, with whether a move or other work was running around it.
    std::function<void()> Step(const std::string& Name) {
        return [this, Name] {
            trace += Name;
            if (board->MoveInProgress() || depth > 0) trace += "!";
            trace += ' ';
        };
    }

    QWidget host;
    TChessBrd* board = nullptr;
    std::string trace;
    int depth = 0;
};

TEST_F(HeldWork, WithoutAMoveInProgressWorkRunsAtOnce) {
    board->AfterMove(Step("a"));
    EXPECT_EQ(trace, "a ");
    EXPECT_FALSE(board->HoldingWork());
}

TEST_F(HeldWork, WorkAskedForDuringAMoveRunsAfterItsSlideInOrder) {
    board->OnLegalMove = [this](ChessGame*, Square, Square) {
        board->AfterMove(Step("a"));
        board->AfterMove(Step("b"));
    };
    // A slide processes window messages: work asked for from there waits as well.
    bool askedDuringSlide = false;
    board->OnAnimationStep = [&](int, int) {
        if (askedDuringSlide) return;
        askedDuringSlide = true;
        board->AfterMove(Step("slide"));
    };
    ASSERT_TRUE(board->MakeMove(E2, E4));
    EXPECT_TRUE(askedDuringSlide);
    EXPECT_EQ(trace, "");
    EXPECT_TRUE(board->HoldingWork());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !board->HoldingWork(); }, 2000));
    EXPECT_EQ(trace, "slide a b ");
}

TEST_F(HeldWork, WorkAskedForByRunningWorkWaitsForItsTurn) {
    board->OnLegalMove = [this](ChessGame*, Square, Square) {
        board->AfterMove([this] {
            ++depth;
            board->AfterMove(Step("inner"));
            trace += "outer ";
            --depth;
        });
        board->AfterMove(Step("second"));
    };
    board->SetAnimateMoves(false);
    ASSERT_TRUE(board->MakeMove(E2, E4));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !board->HoldingWork(); }, 2000));
    EXPECT_EQ(trace, "outer second inner ");
}

TEST_F(HeldWork, AMoveMadeByHeldWorkHoldsTheWorkItsEventsAskFor) {
    board->SetAnimateMoves(false);
    board->OnLegalMove = [this](ChessGame*, Square from, Square) {
        board->AfterMove(Step(from == E2 ? "after-e4" : "after-e5"));
    };
    board->AfterMove([this] {
        trace += "move ";
        board->MakeMove(E2, E4);
    });
    board->AfterMove([this] { board->MakeMove(E7, E5); });
    ASSERT_TRUE(QTest::qWaitFor([this] { return !board->HoldingWork(); }, 2000));
    EXPECT_EQ(trace, "move after-e4 after-e5 ");
    EXPECT_EQ(board->GetPosition().substr(24, 16), "    p       P   ");
}

} // namespace
