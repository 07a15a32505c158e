// The board as both main windows set it up, and the Tahoma substitute their fixed layouts rely on.
#include "BoardSettings.h"
#include "ChessBrd.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class MainWindowBoard : public ::testing::Test {
protected:
    void SetUp() override {
        panel.resize(376, 376);
        board = new TChessBrd(&panel);
        board->move(8, 8);
    }

    void Show() {
        panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
        QCoreApplication::processEvents();
    }

    QWidget panel;
    TChessBrd* board = nullptr;
};

} // namespace

TEST_F(MainWindowBoard, TakesTheStoredSettingsOfTheMainWindows) {
    board->SetWhiteOnTop(true);
    board->SetSearchDepth(5);
    board->SetAnimationDelay(30);
    board->SetBoardLines(true);
    ApplyMainWindowBoardSettings(*board);

    EXPECT_EQ(board->GetBorderColor(), QColor(255, 255, 255));
    EXPECT_EQ(board->GetSquareColorLight(), QColor(255, 255, 255));
    EXPECT_EQ(board->GetSquareColorDark(), QColor(192, 192, 192));
    EXPECT_EQ(board->GetDisplayCoords(), CoordSet::All());
    EXPECT_EQ(board->GetCoordFont().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(board->GetCoordFont().pixelSize(), 11);
    EXPECT_FALSE(board->GetCoordFont().bold());
    EXPECT_EQ(board->GetCoordFontColor(), QColor(0, 0, 0));
    EXPECT_TRUE(board->GetAnimateMoves());
    EXPECT_EQ(board->GetAnimationDelay(), 0);
    EXPECT_FALSE(board->GetBoardLines());
    EXPECT_EQ(board->GetThinkingPriority(), tpLowest);
    EXPECT_EQ(board->GetSearchDepth(), 1);
    EXPECT_FALSE(board->GetWhiteOnTop());
    EXPECT_FALSE(board->GetComputerPlaysWhite());
    EXPECT_FALSE(board->GetComputerPlaysBlack());
    EXPECT_TRUE(board->GetWhiteToMove());
    EXPECT_EQ(board->GetCastlingAllowed(), CastleSet::All());
    EXPECT_EQ(board->GetPosition(), std::string(64, ' '));
    EXPECT_EQ(board->GetSizeOfSquare(), 40);
    EXPECT_EQ(board->GetSizeOfBorder(), 24);
    EXPECT_EQ(board->size(), QSize(368, 368));
    EXPECT_EQ(board->pos(), QPoint(8, 8));
}

TEST_F(MainWindowBoard, UsesTheWindowsOwnPieceSetWithItsLargerDrawings) {
    ApplyMainWindowBoardSettings(*board);
    const QImage set = board->GetCustomPieceSet();
    ASSERT_FALSE(set.isNull()) << "the piece set resource is not registered";
    EXPECT_EQ(set.size(), QSize(240, 160));
    EXPECT_EQ(board->GetPieceSize(), 40);
    EXPECT_EQ(board->GetCustomPieceSet2x().size(), QSize(480, 320));
    EXPECT_EQ(board->GetCustomPieceSet3x().size(), QSize(720, 480));
}

TEST_F(MainWindowBoard, SwitchesOnClickAndKeyboardPlayAndTheThinkingCursor) {
    ApplyMainWindowBoardSettings(*board);
    EXPECT_TRUE(board->GetClickToMove());
    EXPECT_TRUE(board->GetShowLegalMoves());
    EXPECT_TRUE(board->GetKeyboardInput());
    EXPECT_TRUE(board->GetShowThinking());
    EXPECT_EQ(board->focusPolicy(), Qt::StrongFocus);
}

TEST_F(MainWindowBoard, ADetachedWindowHearsNothingWhileTheComputerIsSwitchedOff) {
    ApplyMainWindowBoardSettings(*board);
    board->NewGame();
    Show();
    int heard = 0;
    board->OnThinkingChanged = [&](TChessBrd*, bool) { ++heard; };
    board->SetSearchDepth(6);
    board->SetComputerPlaysWhite(true);
    ASSERT_EQ(heard, 1) << "the computer thinks about White's first move";
    DetachWindowHandlers(*board);
    EXPECT_EQ(heard, 1) << "its thinking ended without a word to the window";
    EXPECT_FALSE(board->Searching());
}

TEST_F(MainWindowBoard, DrawsAnEmptyBoardWithWhiteBorderAndBlackCoordinates) {
    ApplyMainWindowBoardSettings(*board);
    Show();
    const QImage& canvas = board->Canvas();
    ASSERT_EQ(canvas.size(), QSize(368, 368));
    EXPECT_EQ(canvas.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(24 + 20, 24 + 20), qRgb(255, 255, 255)); // a8 is light
    EXPECT_EQ(canvas.pixel(24 + 60, 24 + 20), qRgb(192, 192, 192)); // b8 is dark
    // Every edge carries its labels: some dark pixels in the middle of each border strip.
    auto darkIn = [&canvas](QRect r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (qGray(canvas.pixel(x, y)) < 96) ++n;
        return n;
    };
    EXPECT_GT(darkIn({2, 30, 20, 300}), 20);   // west
    EXPECT_GT(darkIn({346, 30, 20, 300}), 20); // east
    EXPECT_GT(darkIn({30, 2, 300, 20}), 20);   // north
    EXPECT_GT(darkIn({30, 346, 300, 20}), 20); // south
    // No pieces: the middle of every square keeps the square's colour.
    EXPECT_EQ(canvas.pixel(24 + 4 * 40 + 20, 24 + 6 * 40 + 20), qRgb(255, 255, 255)); // e2
}

TEST(TahomaSubstitute, IsAnInstalledFaceAtElevenPixels) {
    InstallFontSubstitutes();
    const QFont font = TahomaFont();
    EXPECT_EQ(font.family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(font.pixelSize(), 11);
    EXPECT_FALSE(font.bold());
    const QFontInfo info(font);
    EXPECT_EQ(info.pixelSize(), 11);
    EXPECT_TRUE(info.family().startsWith(QStringLiteral("Liberation Sans")) ||
                info.family().startsWith(QStringLiteral("DejaVu Sans")))
        << info.family().toStdString();
}

TEST(TahomaSubstitute, FitsTheWidestLabelsOfTheFixedLayouts) {
    InstallFontSubstitutes();
    // Labels and their widths in the windows' layouts (the radio buttons lose about 20 px to the mark).
    const QFontMetrics plain(TahomaFont(11));
    EXPECT_LE(plain.horizontalAdvance(QStringLiteral("Сторона компьютера:")), 121);
    EXPECT_LE(plain.horizontalAdvance(QStringLiteral("Черные фигуры внизу")), 161 - 24);
    const QFontMetrics bold(TahomaFont(11, true));
    EXPECT_TRUE(TahomaFont(11, true).bold());
    EXPECT_LE(bold.horizontalAdvance(QStringLiteral("Игра с компьютером")), 150 - 20);
    EXPECT_LE(plain.height(), 17);
}
