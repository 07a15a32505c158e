#include "LiteWindowFixture.h"

#include "Dialogs.h"
#include "GameMessages.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QImageReader>
#include <QRadioButton>
#include <QRegularExpression>
#include <QToolTip>

namespace {

QColor Colour(std::uint32_t Value) {
    return WinColor(Value);
}

// A position in which white, to move, takes on f7 with mate (after 1. e4 e5 2. Bc4 Nc6 3. Qh5 Nf6).
const QByteArray ScholarsMate = "r bqkb r"
                                "pppp ppp"
                                "  n  n  "
                                "    p  Q"
                                "  B P   "
                                "        "
                                "PPPP PPP"
                                "RNB K NR";

QByteArray SavedGameFile(const QByteArray& Position, bool WhiteToMove, bool ComputerWhite,
                         bool ComputerBlack) {
    return "[Gambitron Position]\nGameVersion=Gambitron Lite 1.1\nWhiteToMove=" +
           QByteArray(WhiteToMove ? "1" : "0") +
           "\nSearchDepth=1\nComputerPlaysWhite=" + (ComputerWhite ? "1" : "0") +
           "\nComputerPlaysBlack=" + (ComputerBlack ? "1" : "0") + "\nPosition=" + Position +
           "\nWhiteOnTop=0\nLastMove=@9-@9\n";
}

} // namespace

using LiteStartPanel = LiteWindow;

TEST_F(LiteStartPanel, OpensWithTheNewGameDefaultsAndTheThreeGreyLogLines) {
    EXPECT_EQ(Form->windowTitle(), "Gambitron Lite 1.1");
    EXPECT_EQ(Form->size(), QSize(556, 376));
    EXPECT_EQ(Form->minimumSize(), Form->maximumSize());
    EXPECT_FALSE(Form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(StartPanelShown());
    EXPECT_FALSE(Log().isVisible());
    for (const char* b :
         {"PngSpeedButton1", "PngSpeedButton2", "PngSpeedButton3", "PngSpeedButton4", "PngSpeedButton6"})
        EXPECT_FALSE(Button(b).isVisible()) << b;
    EXPECT_EQ(Control<QComboBox>("ComboBox1")->currentText(), "Черные");
    EXPECT_EQ(Control<QComboBox>("ComboBox2")->currentText(), "1 ход");
    EXPECT_TRUE(Control<QRadioButton>("RadioButton1")->isChecked());
    EXPECT_TRUE(Control<QCheckBox>("CheckBox1")->isChecked());
    EXPECT_FALSE(Button("PngSpeedButton5").isEnabled());
    EXPECT_FALSE(Control<QLabel>("Label3")->isEnabled());
    EXPECT_EQ(Control<QLabel>("Label3")->text(), "<файл не указан>");
    ASSERT_EQ(Log().LineCount(), 3);
    EXPECT_EQ(Log().Lines()[0], "Gambitron Lite 1.1");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Log().LineColor(i), Colour(LogColor::Status));
    EXPECT_EQ(Board().GetPosition(), std::string(64, ' '));
}

TEST_F(LiteStartPanel, EnterOnTheFocusedStartButtonStartsTheGame) {
    auto* start = Control<QPushButton>("Button1");
    start->setFocus();
    QTest::keyClick(start, Qt::Key_Return);
    EXPECT_FALSE(StartPanelShown());
    EXPECT_TRUE(Log().isVisible());
    EXPECT_EQ(Board().PieceAt(E2), 'P');
}

TEST_F(LiteStartPanel, TheRadioButtonsEnableTheirOwnControlsOnly) {
    Click("RadioButton2");
    EXPECT_FALSE(Form->NewGameSelected);
    EXPECT_FALSE(Control<QComboBox>("ComboBox1")->isEnabled());
    EXPECT_FALSE(Control<QLabel>("Label2")->isEnabled());
    EXPECT_TRUE(Button("PngSpeedButton5").isEnabled());
    EXPECT_TRUE(Control<QLabel>("Label3")->isEnabled());
    Click("RadioButton1");
    EXPECT_TRUE(Form->NewGameSelected);
    EXPECT_TRUE(Control<QComboBox>("ComboBox2")->isEnabled());
    EXPECT_FALSE(Button("PngSpeedButton5").isEnabled());
}

TEST_F(LiteStartPanel, TheOpenButtonShowsTheChosenNameAsPlainTextAndACancelKeepsIt) {
    Click("RadioButton2");
    const QString name = WriteFile("<b>bold<i>.pos", "");
    Harness.Dialogs.FileAnswers.push_back(name);
    Click("PngSpeedButton5");
    ASSERT_EQ(Harness.Dialogs.FileRequests.size(), 1u);
    const FileDialogRequest& request = Harness.Dialogs.FileRequests[0];
    EXPECT_EQ(request.Title, "Загрузка игры");
    EXPECT_EQ(request.Filter,
              "Игры (*.pos *.pgn *.fen);;Файлы позиций Gambitron (*.pos);;Партии PGN (*.pgn);;"
              "Позиции FEN (*.fen)");
    EXPECT_EQ(request.DefaultSuffix, "pos");
    EXPECT_EQ(request.Directory, Dialogs::DocumentsFolder());
    EXPECT_TRUE(request.FileName.isEmpty());
    EXPECT_TRUE(request.MustExist);
    EXPECT_EQ(Control<QLabel>("Label3")->text(), "<b>bold<i>.pos");
    EXPECT_EQ(Control<QLabel>("Label3")->textFormat(), Qt::PlainText);
    EXPECT_EQ(Form->OpenDialog1.FileName, name);

    Click("PngSpeedButton5"); // cancelled
    EXPECT_EQ(Control<QLabel>("Label3")->text(), "<b>bold<i>.pos");
    EXPECT_EQ(Form->OpenDialog1.FileName, name);
}

using LiteGame = LiteWindow;

TEST_F(LiteGame, TheDefaultGameWaitsForThePersonWhoseDragIsLoggedAndAnswered) {
    StartNewGame();
    EXPECT_FALSE(StartPanelShown());
    EXPECT_TRUE(Board().hasFocus());
    EXPECT_FALSE(Board().KeyboardCursorShown()) << "started with the mouse, no key pressed";
    EXPECT_TRUE(Log().isVisible());
    EXPECT_FALSE(Board().GetWhiteOnTop());
    EXPECT_EQ(Board().GetPosition().substr(48), "PPPPPPPPRNBQKBNR");
    EXPECT_FALSE(Button("PngSpeedButton1").isEnabled());
    EXPECT_FALSE(Button("PngSpeedButton2").isEnabled());

    WindowTestHarness::DragPiece(Board(), E2, E4);
    ASSERT_EQ(GameLog().value(0), "Ход: E2 - E4");
    EXPECT_EQ(LineColor("Ход: E2 - E4"), Colour(LogColor::WhiteMove));
    EXPECT_EQ(Harness.PlayedSounds().value(0), "MOVE");
    EXPECT_TRUE(Framed(E2));
    EXPECT_TRUE(Framed(E4));
    EXPECT_TRUE(Button("PngSpeedButton1").isEnabled());

    ASSERT_TRUE(WaitForWhiteToMove(true));
    ASSERT_EQ(GameLog().size(), 2);
    EXPECT_TRUE(GameLog()[1].startsWith("Ход: "));
    EXPECT_EQ(Log().LineColor(4), Colour(LogColor::BlackMove));
    EXPECT_EQ(GameLog()[1], GameMessages::MoveLine(Form->LastMoveFrom, Form->LastMoveTo));
    EXPECT_TRUE(Framed(Form->LastMoveTo));
    EXPECT_FALSE(Framed(E2));
    EXPECT_EQ(Harness.PlayedSounds(), (QStringList{"MOVE", "MOVE"}));
}

TEST_F(LiteGame, TheComputerAsWhiteTurnsTheBoardAndOpensWithTakeBackDisabled) {
    StartNewGame(0);
    EXPECT_TRUE(Board().GetWhiteOnTop());
    ASSERT_TRUE(WaitForWhiteToMove(false));
    ASSERT_EQ(GameLog().size(), 1);
    EXPECT_EQ(Log().LineColor(3), Colour(LogColor::WhiteMove));
    EXPECT_FALSE(Button("PngSpeedButton1").isEnabled());
    EXPECT_FALSE(Button("PngSpeedButton2").isEnabled());
}

TEST_F(LiteGame, ACaptureWithMateLogsMoveCaptureCheckAndMateInRed) {
    StartSavedGame(WriteFile("mate.pos", SavedGameFile(ScholarsMate, true, false, true)));
    Harness.ClearPlayedSounds();
    const int before = Log().LineCount();
    WindowTestHarness::DragPiece(Board(), H5, F7);
    const QStringList lines = Log().Lines().mid(before);
    ASSERT_EQ(lines, (QStringList{"Ход: H5 - F7", "Белые берут пешку!", "Белые ставят шах!",
                                  "Белые ставят мат!", "Новая игра: Ctrl+N"}));
    EXPECT_EQ(Log().LineColor(before), Colour(LogColor::WhiteMove));
    for (int i = 1; i < 4; ++i) EXPECT_EQ(Log().LineColor(before + i), Colour(LogColor::Event));
    EXPECT_EQ(Log().LineColor(before + 4), Colour(LogColor::Status));
    EXPECT_EQ(Harness.PlayedSounds(), (QStringList{"MOVE", "MATE"}));
}

TEST_F(LiteGame, ABlackCaptureIsLoggedInAzureAndRedAfterTheMove) {
    const QByteArray position = "rnbqkbnr"
                                "ppp pppp"
                                "        "
                                "   p    "
                                "    P   "
                                "        "
                                "PPPP PPP"
                                "RNBQKBNR";
    StartSavedGame(WriteFile("capture.pos", SavedGameFile(position, false, true, false)));
    const int before = Log().LineCount();
    WindowTestHarness::DragPiece(Board(), D5, E4);
    const QStringList lines = Log().Lines().mid(before, 2);
    ASSERT_EQ(lines, (QStringList{"Ход: D5 - E4", "Черные берут пешку!"}));
    EXPECT_EQ(Log().LineColor(before), Colour(LogColor::BlackMove));
    EXPECT_EQ(Log().LineColor(before + 1), Colour(LogColor::Event));
}

TEST_F(LiteGame, TurningTheBoardLogsItAndLeavesTheFramesForTheNextRepaint) {
    StartNewGame(1, 6);
    ThinkLong();
    WindowTestHarness::DragPiece(Board(), E2, E4);
    Click("PngSpeedButton1"); // stopped while it thinks: the person's turn again
    WindowTestHarness::DragPiece(Board(), D2, D4);
    Board().SetComputerPlaysBlack(false);
    ASSERT_TRUE(Framed(D4));
    Click("PngSpeedButton3");
    EXPECT_TRUE(Board().GetWhiteOnTop());
    EXPECT_EQ(GameLog().last(), "Поворот доски");
    EXPECT_EQ(LineColor("Поворот доски"), Colour(LogColor::Status));
    EXPECT_FALSE(Framed(D4));
    Form->repaint(); // the window's repaint draws them again
    EXPECT_TRUE(Framed(D4));
    Click("PngSpeedButton3");
    EXPECT_FALSE(Board().GetWhiteOnTop());
}

// "Начать игру" gives way to the picture buttons at the same place: the second click of a double-click on
// it must not turn the board or open a dialog.
TEST_F(LiteGame, TheSecondHalfOfADoubleClickOnStartIsNoClickOnTheButtonsBelow) {
    StartNewGame();
    for (const char* name : {"PngSpeedButton3", "PngSpeedButton4", "PngSpeedButton6"}) {
        TPngSpeedButton& button = Button(name);
        const QPointF at(button.width() / 2.0, button.height() / 2.0);
        QMouseEvent second(QEvent::MouseButtonDblClick, at, button.mapToGlobal(at), Qt::LeftButton,
                           Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&button, &second);
        QTest::mouseRelease(&button, Qt::LeftButton, {}, at.toPoint());
    }
    EXPECT_FALSE(Board().GetWhiteOnTop());
    EXPECT_TRUE(Harness.Dialogs.FileRequests.empty());
    Click("PngSpeedButton3");
    EXPECT_TRUE(Board().GetWhiteOnTop()) << "a click of its own still acts";
}

using LiteHistory = LiteWindow;

// Row "black to move, computer plays black": the computer has not answered yet; one half-move back.
TEST_F(LiteHistory, TakeBackWhileTheComputerThinksRestoresThePersonsTurnAndOffersNoReplay) {
    StartNewGame(1, 6);
    ThinkLong();
    WindowTestHarness::DragPiece(Board(), E2, E4);
    Harness.ClearPlayedSounds();
    Click("PngSpeedButton1");
    EXPECT_EQ(Board().GetPosition().substr(48), "PPPPPPPPRNBQKBNR");
    EXPECT_TRUE(Board().GetWhiteToMove());
    EXPECT_EQ(GameLog().last(), "Отмена хода");
    EXPECT_EQ(LineColor("Отмена хода"), Colour(LogColor::Undo));
    EXPECT_EQ(Harness.PlayedSounds(), QStringList{"CHAT"});
    EXPECT_EQ(Form->LastMoveFrom, None);
    EXPECT_FALSE(Form->EarlyTakeBack);
    EXPECT_FALSE(Button("PngSpeedButton1").isEnabled());
    // The undone move was never answered; stepping forward to an answer that does not exist is not offered.
    EXPECT_FALSE(Button("PngSpeedButton2").isEnabled());
}

// Rows "white to move, computer plays black" (two half-moves back) and its replay.
TEST_F(LiteHistory, TakeBackAfterTheComputersReplyUndoesBothAndReplayRestoresThem) {
    StartNewGame();
    WindowTestHarness::DragPiece(Board(), E2, E4);
    ASSERT_TRUE(WaitForWhiteToMove(true));
    const std::string afterReply = Board().GetPosition();
    const Square replyFrom = Form->LastMoveFrom, replyTo = Form->LastMoveTo;

    Click("PngSpeedButton1");
    EXPECT_EQ(Board().GetPosition().substr(48), "PPPPPPPPRNBQKBNR");
    EXPECT_EQ(Board().GetCurrentMove(), 1);
    EXPECT_TRUE(Board().GetWhiteToMove());
    EXPECT_EQ(Form->LastMoveFrom, None);
    EXPECT_FALSE(Button("PngSpeedButton1").isEnabled());
    EXPECT_TRUE(Button("PngSpeedButton2").isEnabled());

    Click("PngSpeedButton2");
    EXPECT_EQ(Board().GetPosition(), afterReply);
    EXPECT_EQ(GameLog().last(), "Повтор хода");
    EXPECT_EQ(LineColor("Повтор хода"), Colour(LogColor::Undo));
    EXPECT_EQ(Form->LastMoveFrom, replyFrom);
    EXPECT_EQ(Form->LastMoveTo, replyTo);
    EXPECT_TRUE(Framed(replyTo));
    EXPECT_FALSE(Button("PngSpeedButton2").isEnabled());
    EXPECT_TRUE(Button("PngSpeedButton1").isEnabled());
    EXPECT_EQ(Harness.PlayedSounds().mid(2), (QStringList{"CHAT", "CHAT"}));
}

// Row "white to move, computer plays white": the early take-back, one half-move back.
TEST_F(LiteHistory, AnEarlyTakeBackAgainstWhiteIsMarkedAndOffersNoReplay) {
    StartNewGame(0, 6);
    ASSERT_TRUE(WaitForWhiteToMove(false));
    ThinkLong();
    const Square whiteFrom = Form->LastMoveFrom, whiteTo = Form->LastMoveTo;
    const std::string afterWhite = Board().GetPosition();
    WindowTestHarness::DragPiece(Board(), G8, F6);
    ASSERT_TRUE(Board().GetWhiteToMove());
    EXPECT_TRUE(Button("PngSpeedButton1").isEnabled());

    Click("PngSpeedButton1");
    EXPECT_TRUE(Form->EarlyTakeBack);
    EXPECT_EQ(Board().GetPosition(), afterWhite);
    EXPECT_FALSE(Board().GetWhiteToMove());
    EXPECT_EQ(Form->LastMoveFrom, whiteFrom);
    EXPECT_EQ(Form->LastMoveTo, whiteTo);
    EXPECT_FALSE(Button("PngSpeedButton1").isEnabled());
    EXPECT_FALSE(Button("PngSpeedButton2").isEnabled());
    const int lines = Log().LineCount();
    // A click on the disabled buttons does nothing at all.
    Click("PngSpeedButton2");
    Click("PngSpeedButton1");
    EXPECT_EQ(Log().LineCount(), lines);

    WindowTestHarness::DragPiece(Board(), G8, F6);
    EXPECT_FALSE(Form->EarlyTakeBack);
}

// Row "black to move, computer plays white": two half-moves back, then replay.
TEST_F(LiteHistory, TakeBackAgainstWhiteAfterItsReplyUndoesBothAndReplayRestoresThem) {
    StartNewGame(0);
    ASSERT_TRUE(WaitForWhiteToMove(false));
    const std::string afterWhite = Board().GetPosition();
    const Square firstFrom = Form->LastMoveFrom, firstTo = Form->LastMoveTo;
    WindowTestHarness::DragPiece(Board(), G8, F6);
    ASSERT_TRUE(WaitForWhiteToMove(false));
    const std::string afterReply = Board().GetPosition();
    const Square replyFrom = Form->LastMoveFrom, replyTo = Form->LastMoveTo;

    Click("PngSpeedButton1");
    EXPECT_EQ(Board().GetPosition(), afterWhite);
    EXPECT_EQ(Board().GetCurrentMove(), 1);
    EXPECT_FALSE(Board().GetWhiteToMove());
    EXPECT_EQ(Form->LastMoveFrom, firstFrom);
    EXPECT_EQ(Form->LastMoveTo, firstTo);
    EXPECT_FALSE(Form->EarlyTakeBack);
    EXPECT_FALSE(Button("PngSpeedButton1").isEnabled());
    EXPECT_TRUE(Button("PngSpeedButton2").isEnabled());

    Click("PngSpeedButton2");
    EXPECT_EQ(Board().GetPosition(), afterReply);
    EXPECT_EQ(Form->LastMoveFrom, replyFrom);
    EXPECT_EQ(Form->LastMoveTo, replyTo);
    EXPECT_FALSE(Button("PngSpeedButton2").isEnabled());
    EXPECT_TRUE(Button("PngSpeedButton1").isEnabled());
}

TEST_F(LiteHistory, ALoadedGameCannotBeTakenBackBeyondThePositionItStartedFrom) {
    const QByteArray position = "rnbqkbnr"
                                "pppppppp"
                                "        "
                                "        "
                                "    P   "
                                "        "
                                "PPPP PPP"
                                "RNBQKBNR";
    StartSavedGame(WriteFile("loaded.pos", SavedGameFile(position, false, false, true)));
    ASSERT_TRUE(WaitForWhiteToMove(true));
    // Before the computer's reply lies nothing this game recorded.
    EXPECT_FALSE(Button("PngSpeedButton1").isEnabled());
    const int lines = Log().LineCount();
    Click("PngSpeedButton1");
    EXPECT_EQ(Log().LineCount(), lines);

    const std::string afterReply = Board().GetPosition();
    WindowTestHarness::DragPiece(Board(), D2, D4);
    ASSERT_TRUE(WaitForWhiteToMove(true));
    ASSERT_TRUE(Button("PngSpeedButton1").isEnabled());
    Click("PngSpeedButton1");
    EXPECT_EQ(Board().GetPosition(), afterReply);
    EXPECT_FALSE(Button("PngSpeedButton1").isEnabled());
}

TEST_F(LiteGame, ASnapshotIsWrittenAsABitmapWhateverTheNameSays) {
    StartNewGame();
    const QString name = Dir.filePath("shot.png");
    Harness.Dialogs.FileAnswers.push_back(name);
    Click("PngSpeedButton6");
    ASSERT_EQ(Harness.Dialogs.FileRequests.size(), 1u);
    const FileDialogRequest& request = Harness.Dialogs.FileRequests[0];
    EXPECT_EQ(request.Title, "Снимок игры");
    EXPECT_EQ(request.Filter, "Bitmaps (*.bmp)");
    EXPECT_EQ(request.DefaultSuffix, "bmp");
    EXPECT_TRUE(request.Save && request.ConfirmOverwrite);
    EXPECT_EQ(request.Directory, Dialogs::DocumentsFolder());
    EXPECT_TRUE(QRegularExpression("^\\d\\d\\.\\d\\d\\.\\d\\d @ \\d\\d-\\d\\d\\.bmp$")
                    .match(request.FileName)
                    .hasMatch())
        << request.FileName.toStdString();

    EXPECT_TRUE(ReadFile(name).startsWith("BM"));
    QImageReader reader(name, "BMP");
    const QImage shot = reader.read();
    ASSERT_FALSE(shot.isNull());
    EXPECT_GE(shot.width(), 556);
    EXPECT_GE(shot.height(), 376);
    EXPECT_EQ(GameLog().last(), "Снимок игры сохранен");
    EXPECT_EQ(LineColor("Снимок игры сохранен"), Colour(LogColor::Status));
}

TEST_F(LiteGame, ASnapshotThatCannotBeSavedIsReportedInsteadOfLogged) {
    StartNewGame();
    Harness.Dialogs.FileAnswers.push_back(Dir.filePath("missing/shot.bmp"));
    Click("PngSpeedButton6");
    ASSERT_EQ(Harness.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Harness.Dialogs.Messages[0].Icon, QMessageBox::Warning);
    EXPECT_FALSE(Logged("Снимок игры сохранен"));
    Click("PngSpeedButton6"); // cancelled: nothing at all
    EXPECT_EQ(Harness.Dialogs.Messages.size(), 1u);
    EXPECT_TRUE(GameLog().isEmpty());
}

TEST_F(LiteGame, WithSoundsOffNothingIsPlayedButEverythingElseHappens) {
    Control<QCheckBox>("CheckBox1")->setChecked(false);
    StartSavedGame(WriteFile("mate.pos", SavedGameFile(ScholarsMate, true, false, true)));
    WindowTestHarness::DragPiece(Board(), H5, F7);
    EXPECT_TRUE(Logged("Белые ставят мат!"));
    Click("PngSpeedButton1");
    EXPECT_TRUE(Logged("Отмена хода"));
    EXPECT_TRUE(Harness.PlayedSounds().isEmpty());
}

class LiteWithoutSoundDevice : public LiteWindow {
protected:
    LiteWithoutSoundDevice() : LiteWindow(false) {}
};

TEST_F(LiteWithoutSoundDevice, AMachineWithoutASoundDeviceStaysSilent) {
    StartSavedGame(WriteFile("mate.pos", SavedGameFile(ScholarsMate, true, false, true)));
    WindowTestHarness::DragPiece(Board(), H5, F7);
    EXPECT_TRUE(Logged("Белые ставят мат!"));
    EXPECT_TRUE(Harness.PlayedSounds().isEmpty());
}

TEST_F(LiteGame, ClosingWhileTheComputerThinksStopsItAndCloses) {
    StartNewGame(1, 6);
    ThinkLong();
    WindowTestHarness::DragPiece(Board(), E2, E4);
    EXPECT_TRUE(Form->close());
    EXPECT_FALSE(Board().GetComputerPlaysBlack());
    EXPECT_FALSE(Board().GetComputerPlaysWhite());
    EXPECT_FALSE(Board().GetThinking());
}

class LiteDuringTheComputersSlide : public LiteWindow {
protected:
    // Runs Action once, at the first step of the computer's slide, while the move is in progress.
    void AtFirstSlideStep(std::function<void()> Action) {
        auto windowsOwn = Board().OnAnimationStep;
        Board().OnAnimationStep = [this, windowsOwn, Action, done = false](int x, int y) mutable {
            if (windowsOwn) windowsOwn(x, y);
            if (done) return;
            done = true;
            InProgressAtAction = Board().MoveInProgress();
            Action();
            LinesRightAfterAction = Log().LineCount();
        };
    }
    bool InProgressAtAction = false;
    int LinesRightAfterAction = 0;
};

TEST_F(LiteDuringTheComputersSlide, ATakeBackWaitsUntilTheMoveIsCompleteAndThenUndoesBoth) {
    StartNewGame();
    AtFirstSlideStep([this] { Click("PngSpeedButton1"); });
    WindowTestHarness::DragPiece(Board(), E2, E4);
    ASSERT_TRUE(WindowTestHarness::WaitUntil([this] { return Logged("Отмена хода"); }));
    EXPECT_TRUE(InProgressAtAction);
    EXPECT_EQ(LinesRightAfterAction, 4); // nothing was logged while the piece was sliding
    const QStringList lines = GameLog();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "Ход: E2 - E4");
    EXPECT_TRUE(lines[1].startsWith("Ход: "));
    EXPECT_EQ(Board().GetPosition().substr(48), "PPPPPPPPRNBQKBNR");
    EXPECT_TRUE(Board().GetWhiteToMove());
}

TEST_F(LiteDuringTheComputersSlide, ClosingWaitsUntilTheMoveIsCompleteAndThenStopsTheComputer) {
    StartNewGame();
    bool closedAtOnce = true;
    AtFirstSlideStep([this, &closedAtOnce] { closedAtOnce = Form->close(); });
    WindowTestHarness::DragPiece(Board(), E2, E4);
    ASSERT_TRUE(WindowTestHarness::WaitUntil([this] { return !Form->isVisible(); }));
    EXPECT_FALSE(closedAtOnce);
    EXPECT_EQ(GameLog().size(), 2);
    EXPECT_FALSE(Board().GetComputerPlaysBlack());
}

class LiteNewGame : public LiteWindow {
protected:
    LiteNewGame() {
        Form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    }
    void Key(int KeyCode, Qt::KeyboardModifiers Modifiers = Qt::ControlModifier) {
        QTest::keyClick(Form.get(), static_cast<Qt::Key>(KeyCode), Modifiers);
    }
    bool ThinkingShown() const { return Control<QLabel>("ThinkingLabel")->isVisible(); }
};

TEST_F(LiteNewGame, FromTheMiddleOfAGameItAsksFirstThenReturnsToTheStartPanelWithTheChoicesKept) {
    StartNewGame(0, 2);
    ASSERT_TRUE(WaitForWhiteToMove(false));
    const QRect logPlace = Log().geometry();

    Click("NewGameButton"); // answered no
    ASSERT_EQ(Harness.Dialogs.Questions.size(), 1u);
    EXPECT_EQ(Harness.Dialogs.Questions[0].Caption, "Новая игра");
    EXPECT_FALSE(StartPanelShown());
    EXPECT_TRUE(Board().GetComputerPlaysWhite());

    Harness.Dialogs.Answers.push_back(true);
    Key(Qt::Key_N);
    EXPECT_EQ(Harness.Dialogs.Questions.size(), 2u);
    EXPECT_TRUE(StartPanelShown());
    EXPECT_FALSE(Log().isVisible());
    EXPECT_FALSE(Button("NewGameButton").isVisible());
    EXPECT_FALSE(ThinkingShown());
    EXPECT_EQ(Board().GetPosition(), std::string(64, ' '));
    EXPECT_FALSE(Board().GetComputerPlaysWhite() || Board().GetComputerPlaysBlack());
    EXPECT_FALSE(Board().GetWhiteOnTop());
    EXPECT_EQ(Form->LastMoveFrom, None);
    EXPECT_EQ(Log().LineCount(), 3);
    EXPECT_EQ(Control<QComboBox>("ComboBox1")->currentText(), "Белые");
    EXPECT_EQ(Control<QComboBox>("ComboBox2")->currentText(), "2 хода");

    Click("Button1");
    EXPECT_TRUE(Board().GetWhiteOnTop());
    EXPECT_EQ(Board().GetSearchDepth(), 2);
    ASSERT_TRUE(WaitForWhiteToMove(false));
    ASSERT_EQ(GameLog().size(), 1) << "the computer opened the fresh game";
    EXPECT_FALSE(Button("PngSpeedButton1").isEnabled());
    EXPECT_EQ(Log().geometry(), logPlace);
}

TEST_F(LiteNewGame, AfterMateTheWayOnIsShownAndTakenWithoutAQuestion) {
    const QString file = WriteFile("mate.pos", SavedGameFile(ScholarsMate, true, false, true));
    StartSavedGame(file);
    WindowTestHarness::DragPiece(Board(), H5, F7);
    EXPECT_EQ(GameLog().last(), "Новая игра: Ctrl+N");
    EXPECT_TRUE(Button("NewGameButton").hasFocus());
    EXPECT_FALSE(ThinkingShown());

    Click("NewGameButton");
    EXPECT_TRUE(Harness.Dialogs.Questions.empty());
    ASSERT_TRUE(StartPanelShown());
    EXPECT_TRUE(Control<QRadioButton>("RadioButton2")->isChecked());
    EXPECT_EQ(Control<QLabel>("Label3")->text(), "mate.pos");
    Click("Button1"); // the same saved game again
    EXPECT_FALSE(StartPanelShown());
    EXPECT_EQ(Board().GetPosition(), std::string(ScholarsMate.constData(), 64));
    EXPECT_TRUE(Logged("Игра загружена"));
}

TEST_F(LiteNewGame, ATakeBackAfterMateMakesTheGameRunAgain) {
    StartSavedGame(WriteFile("mate.pos", SavedGameFile(ScholarsMate, true, false, true)));
    WindowTestHarness::DragPiece(Board(), H5, F7);
    ASSERT_FALSE(Form->GameRunning());
    Key(Qt::Key_Z);
    EXPECT_TRUE(Form->GameRunning());
    // A click picks the queen up again: the mate no longer holds the pieces still. The engine's pass over
    // the mated position reports back through the event loop first, which a slow build may not have run yet.
    ASSERT_TRUE(WindowTestHarness::WaitUntil([this] { return !Board().GetThinking(); }));
    WindowTestHarness::ClickSquare(Board(), H5);
    EXPECT_EQ(Board().Selected(), H5);
    Key(Qt::Key_N); // answered no
    EXPECT_EQ(Harness.Dialogs.Questions.size(), 1u);
    EXPECT_FALSE(StartPanelShown());
}

TEST_F(LiteNewGame, TheThinkingLineShowsWhileTheComputerSearchesWithoutMovingTheLayout) {
    StartNewGame();
    EXPECT_FALSE(ThinkingShown());
    const QRect logPlace = Log().geometry();
    WindowTestHarness::DragPiece(Board(), E2, E4);
    EXPECT_TRUE(Form->ComputerThinking());
    EXPECT_TRUE(ThinkingShown());
    EXPECT_EQ(Control<QLabel>("ThinkingLabel")->text(), "Компьютер думает…");
    EXPECT_EQ(Log().geometry(), logPlace);
    ASSERT_TRUE(WaitForWhiteToMove(true));
    EXPECT_FALSE(Form->ComputerThinking());
    EXPECT_FALSE(ThinkingShown());
}

TEST_F(LiteNewGame, ADropOnTheComputersTurnIsAnsweredWithAHint) {
    StartNewGame(1, 6);
    ThinkLong();
    WindowTestHarness::DragPiece(Board(), E2, E4);
    ASSERT_TRUE(WindowTestHarness::WaitUntil([this] { return Board().GetThinking(); }));
    const std::string before = Board().GetPosition();
    WindowTestHarness::DragPiece(Board(), D2, D4);
    EXPECT_EQ(Board().GetPosition(), before);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "Сейчас ход компьютера");
    // A tip that is still fading out would be reused where it stands.
    QToolTip::hideText();
    ASSERT_TRUE(WindowTestHarness::WaitUntil([] { return !QToolTip::isVisible(); }));

    // Tried from the keys, the hint stands at the keyboard cursor, away from the pointer.
    QCursor::setPos(Board().mapToGlobal(QPoint(0, 0)));
    Board().setFocus();
    if (!Board().KeyboardCursorShown()) QTest::keyClick(&Board(), Qt::Key_Enter);
    // The cursor stops at the edges: seven steps each way reach the corner from anywhere.
    for (int step = 0; step < 7; ++step) {
        QTest::keyClick(&Board(), Qt::Key_Left);
        QTest::keyClick(&Board(), Qt::Key_Down);
    }
    ASSERT_EQ(Board().KeyboardCursor(), A1);
    QTest::keyClick(&Board(), Qt::Key_Enter);
    EXPECT_EQ(Board().GetPosition(), before);
    ASSERT_TRUE(QToolTip::isVisible());
    const QWidget* tip = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->inherits("QTipLabel") && widget->isVisible()) tip = widget;
    ASSERT_NE(tip, nullptr);
    int x = 0, y = 0;
    Board().SquareToXY(A1, x, y);
    const QPoint square = Board().mapToGlobal(QPoint(x, y));
    auto distance = [tip](QPoint p) { return (tip->geometry().center() - p).manhattanLength(); };
    EXPECT_LT(distance(square), distance(QCursor::pos()));
    QToolTip::hideText();
    Board().SetComputerPlaysBlack(false);
}

// Each key does what a click on its button does, and only where that button could be clicked.
TEST_F(LiteNewGame, EveryButtonsKeyActsWhereItsButtonWould) {
    Key(Qt::Key_N);
    Key(Qt::Key_Z);
    Key(Qt::Key_O); // "Открыть" is disabled while a new game is chosen
    EXPECT_TRUE(StartPanelShown());
    EXPECT_TRUE(Harness.Dialogs.FileRequests.empty());
    Click("RadioButton2");
    Key(Qt::Key_O);
    ASSERT_EQ(Harness.Dialogs.FileRequests.size(), 1u);
    EXPECT_EQ(Harness.Dialogs.FileRequests[0].Title, "Загрузка игры");
    Click("RadioButton1");

    StartNewGame();
    Key(Qt::Key_Z); // nothing to take back yet
    EXPECT_TRUE(GameLog().isEmpty());
    WindowTestHarness::DragPiece(Board(), E2, E4);
    ASSERT_TRUE(WaitForWhiteToMove(true));
    const struct {
        int Key;
        Qt::KeyboardModifiers Modifiers;
        const char* Logged;      // the line the key's action logs, if any
        const char* DialogTitle; // the file dialog it opens, if any
    } keys[] = {
        {Qt::Key_Z, Qt::ControlModifier, "Отмена хода", nullptr},
        {Qt::Key_Y, Qt::ControlModifier, "Повтор хода", nullptr},
        {Qt::Key_Z, Qt::ControlModifier, "Отмена хода", nullptr},
        {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "Повтор хода", nullptr},
        {Qt::Key_R, Qt::ControlModifier, "Поворот доски", nullptr},
        {Qt::Key_P, Qt::ControlModifier, nullptr, "Снимок игры"},
        {Qt::Key_F12, Qt::NoModifier, nullptr, "Снимок игры"},
        {Qt::Key_S, Qt::ControlModifier, nullptr, "Сохранение игры"},
    };
    for (const auto& k : keys) {
        const int lines = Log().LineCount();
        const size_t requests = Harness.Dialogs.FileRequests.size();
        Key(k.Key, k.Modifiers);
        if (k.Logged) {
            EXPECT_EQ(Log().LineCount(), lines + 1) << k.Logged;
            EXPECT_EQ(GameLog().last(), QString::fromUtf8(k.Logged));
        }
        if (k.DialogTitle) {
            ASSERT_EQ(Harness.Dialogs.FileRequests.size(), requests + 1) << k.DialogTitle;
            EXPECT_EQ(Harness.Dialogs.FileRequests.back().Title, QString::fromUtf8(k.DialogTitle));
        }
    }
    const int lines = Log().LineCount();
    Key(Qt::Key_Y); // replayed to the newest move already: replay is disabled
    EXPECT_EQ(Log().LineCount(), lines);
    EXPECT_TRUE(Board().GetWhiteOnTop());
    Key(Qt::Key_N); // answered no
    EXPECT_EQ(Harness.Dialogs.Questions.size(), 1u);
}
