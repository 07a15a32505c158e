// The harness the window tests stand on: recorded sounds, real mouse drags through the board, waiting on
// the event loop.
#include "WindowTestHarness.h"

#include "BoardSettings.h"
#include "ChessBrd.h"

#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace {

class HarnessDrag : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(392, 392);
        panel = new QWidget(&window);
        panel->setGeometry(0, 0, 376, 376);
        board = new TChessBrd(panel);
        board->move(4, 4);
        ApplyMainWindowBoardSettings(*board);
        board->NewGame();
        board->OnLegalMove = [this](ChessGame*, Square from, Square to) { moves.push_back({from, to}); };
        board->OnStartDrag = [this](TChessBrd*) { ++drags; };
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QWidget window;
    QWidget* panel = nullptr;
    TChessBrd* board = nullptr;
    std::vector<std::pair<Square, Square>> moves;
    int drags = 0;
};

} // namespace

TEST_F(HarnessDrag, DraggingAPieceMakesTheMoveThroughTheBoardsOwnDrag) {
    WindowTestHarness::DragPiece(*board, E2, E4);
    EXPECT_EQ(drags, 1);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0], std::make_pair(E2, E4));
    EXPECT_EQ(board->PieceAt(E4), 'P');
    EXPECT_FALSE(board->IsDragImageShowing());
}

TEST_F(HarnessDrag, DraggingWorksOnATurnedBoard) {
    board->SetWhiteOnTop(true);
    WindowTestHarness::DragPiece(*board, G1, F3);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(board->PieceAt(F3), 'N');
}

TEST_F(HarnessDrag, AnIllegalDragPutsThePieceBack) {
    WindowTestHarness::DragPiece(*board, E2, E5);
    EXPECT_EQ(drags, 1);
    EXPECT_TRUE(moves.empty());
    EXPECT_EQ(board->PieceAt(E2), 'P');
}

TEST_F(HarnessDrag, ADisabledPanelTakesNoDrag) {
    panel->setEnabled(false);
    WindowTestHarness::DragPiece(*board, E2, E4);
    EXPECT_EQ(drags, 0);
    EXPECT_TRUE(moves.empty());
    EXPECT_EQ(board->PieceAt(E2), 'P');
}

TEST(HarnessWait, ReturnsOnceTheConditionHoldsAndReportsATimeout) {
    bool fired = false;
    QTimer::singleShot(50, [&fired] { fired = true; });
    EXPECT_TRUE(WindowTestHarness::WaitUntil([&fired] { return fired; }, 10000));
    EXPECT_FALSE(WindowTestHarness::WaitUntil([] { return false; }, 30));
}

TEST(HarnessSounds, RecordsThePlayedNamesAndTheDeviceThatWasAskedFor) {
    {
        WindowTestHarness harness;
        EXPECT_TRUE(Sound::HasOutputDevice());
        Sound::Play(QStringLiteral("MOVE"));
        Sound::Play(QStringLiteral("MATE"));
        Sound::Play(QStringLiteral("NOSUCHSOUND"));
        EXPECT_EQ(harness.PlayedSounds(), QStringList({QStringLiteral("MOVE"), QStringLiteral("MATE")}));
        harness.ClearPlayedSounds();
        EXPECT_TRUE(harness.PlayedSounds().isEmpty());
    }
    WindowTestHarness silent(false);
    EXPECT_FALSE(Sound::HasOutputDevice());
}

TEST(HarnessNesting, AnInnerHarnessAnswersWhileItLivesThenTheOuterTakesOver) {
    WindowTestHarness outer;
    outer.Dialogs.FileAnswers = {QStringLiteral("/outer.pos")};
    {
        WindowTestHarness inner(false);
        inner.Dialogs.FileAnswers = {QStringLiteral("/inner.pos")};
        EXPECT_FALSE(Sound::HasOutputDevice());
        Sound::Play(QStringLiteral("CHAT"));
        EXPECT_EQ(Dialogs::GetFileName(nullptr, {}), QStringLiteral("/inner.pos"));
        EXPECT_EQ(inner.PlayedSounds(), QStringList(QStringLiteral("CHAT")));
    }
    EXPECT_TRUE(Sound::HasOutputDevice());
    Sound::Play(QStringLiteral("MOVE"));
    EXPECT_EQ(outer.PlayedSounds(), QStringList(QStringLiteral("MOVE")));
    EXPECT_EQ(Dialogs::GetFileName(nullptr, {}), QStringLiteral("/outer.pos"));
}
