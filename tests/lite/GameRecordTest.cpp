// The lite window's game records: PGN saved from the save dialog, PGN and FEN opened from the dialog and the
// command line, copy and paste through the clipboard, and the refusals, each of which leaves the game alone.
#include "LiteWindowFixture.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QRegularExpression>

namespace {

const char* const OpenGame = "[Event \"Club\"]\n[White \"A\"]\n[Black \"B\"]\n\n"
                             "1. e4 {king's pawn} e5 (1... c5) 2. Nf3 $1 Nc6 1/2-1/2\n";
const char* const OpenGameFen = "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3";

} // namespace

using LiteRecords = LiteWindow;

TEST_F(LiteRecords, SavingAsPgnWritesTheRosterAndTheMovesUpToTheBoardsPosition) {
    StartNewGame(1, 2);
    WindowTestHarness::DragPiece(Board(), E2, E4);
    ASSERT_TRUE(WaitForWhiteToMove(true));
    WindowTestHarness::DragPiece(Board(), G1, F3);
    ASSERT_TRUE(WaitForWhiteToMove(true));
    // One take-back: the file holds the game as far as the board shows it.
    Click("PngSpeedButton1");
    ASSERT_TRUE(WindowTestHarness::WaitUntil([&] { return Board().GetCurrentMove() == 2; }));

    const QString name = Dir.filePath("game.PGN");
    Harness.Dialogs.FileAnswers.push_back(name);
    Click("PngSpeedButton4");
    const QString pgn = QString::fromUtf8(ReadFile(name));
    EXPECT_TRUE(pgn.startsWith("[Event \"Gambitron\"]\n[Site \"")) << pgn.toStdString();
    EXPECT_TRUE(QRegularExpression("\n\\[Date \"\\d{4}\\.\\d\\d\\.\\d\\d\"\\]\n\\[Round \"-\"\\]\n")
                    .match(pgn)
                    .hasMatch());
    EXPECT_TRUE(
        pgn.contains("[White \"Игрок\"]\n[Black \"Компьютер (глубина 2)\"]\n[Result \"*\"]\n\n1. e4 "));
    EXPECT_FALSE(pgn.contains("SetUp"));
    EXPECT_TRUE(pgn.endsWith(" *\n"));
    EXPECT_FALSE(pgn.contains("2. Nf3"));
    EXPECT_EQ(GameLog().last(), "Игра сохранена");

    TForm1 second;
    ASSERT_TRUE(second.StartWithFile(name));
    EXPECT_EQ(second.CurrentFen(), Form->CurrentFen());
}

TEST_F(LiteRecords, SavingUnderTheFenSuffixWritesAPositionThatOpensAgain) {
    StartNewGame(1, 1);
    WindowTestHarness::DragPiece(Board(), E2, E4);
    ASSERT_TRUE(WaitForWhiteToMove(true));
    const QString name = Dir.filePath("position.Fen");
    Harness.Dialogs.FileAnswers.push_back(name);
    Click("PngSpeedButton4");
    EXPECT_EQ(QString::fromUtf8(ReadFile(name)), Form->CurrentFen() + "\n");

    TForm1 second;
    ASSERT_TRUE(second.StartWithFile(name));
    EXPECT_EQ(second.CurrentFen(), Form->CurrentFen());
}

TEST_F(LiteRecords, ASavedGameNamesOnlyTheCastlingsItsKingsAndRooksAllow) {
    // A .pos file keeps no castling rights: the board starts it with all four.
    const QByteArray position = "r   k   " + QByteArray(48, ' ') + "R    K R";
    StartSavedGame(
        WriteFile("castling.pos", "[Gambitron Position]\nGameVersion=x\nPosition=" + position + "\n"));
    ASSERT_FALSE(StartPanelShown());
    EXPECT_EQ(Form->CurrentFen(), "r3k3/8/8/8/8/8/8/R4K1R w q - 0 1");
    EXPECT_TRUE(Form->CurrentPgn().contains("[FEN \"r3k3/8/8/8/8/8/8/R4K1R w q - 0 1\"]"));
}

TEST_F(LiteRecords, APgnFromTheDialogIsPlayedQuietlyAndTheGameGoesOnFromItsEnd) {
    StartSavedGame(WriteFile("club.pgn", OpenGame));
    ASSERT_FALSE(StartPanelShown());
    EXPECT_EQ(Form->CurrentFen(), OpenGameFen);
    // No move lines, sounds or slides for the moves read: the log says that the game was loaded.
    EXPECT_EQ(GameLog(), (QStringList{"Игра загружена", "Компьютер играет черными"}));
    EXPECT_TRUE(Harness.PlayedSounds().isEmpty());
    EXPECT_EQ(Form->LastMoveFrom, B8);
    EXPECT_EQ(Form->LastMoveTo, C6);
    EXPECT_TRUE(Framed(C6));

    // The moves read are the game's own: taken back like moves played here.
    ASSERT_TRUE(Button("PngSpeedButton1").isEnabled());
    Click("PngSpeedButton1");
    ASSERT_TRUE(WindowTestHarness::WaitUntil([&] { return Board().GetCurrentMove() == 2; }));
    EXPECT_EQ(Form->CurrentFen().toStdString(),
              "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2");
    Click("PngSpeedButton2");
    ASSERT_TRUE(WindowTestHarness::WaitUntil([&] { return Board().GetCurrentMove() == 3; }));
    EXPECT_EQ(Form->CurrentFen().toStdString(), OpenGameFen);

    WindowTestHarness::DragPiece(Board(), F1, C4);
    ASSERT_TRUE(WaitForWhiteToMove(true));
    EXPECT_TRUE(Form->CurrentPgn().contains("\n1. e4 e5 2. Nf3 Nc6 3. Bc4 "));
}

TEST_F(LiteRecords, AGameOpenedOnTheComputersTurnShowsItThinking) {
    // Pawns locked in contact keep the search going until the window closes.
    ASSERT_TRUE(Form->StartWithFile(
        WriteFile("locked.fen", "k7/pppppppp/pppppppp/pppppppp/PPPPPPPP/PPPPPPPP/PPPPPPPP/K7 b - - 0 1\n")));
    ASSERT_TRUE(WindowTestHarness::WaitUntil([this] { return Board().GetThinking(); }));
    EXPECT_TRUE(Control<QLabel>("ThinkingLabel")->isVisible());
}

TEST_F(LiteRecords, AGameOpenedAtItsMateShowsTheWayToANewGame) {
    ASSERT_TRUE(Form->StartWithFile(
        WriteFile("mated.pgn", "[Event \"x\"]\n\n1. e4 e5 2. Qh5 Nc6 3. Bc4 Nf6 4. Qxf7# 1-0\n")));
    EXPECT_FALSE(Form->GameRunning());
    EXPECT_EQ(GameLog().last(), "Новая игра: Ctrl+N");
    EXPECT_TRUE(Button("NewGameButton").hasFocus());
}

TEST_F(LiteRecords, TheFirstGameOfALargeDatabaseIsPlayed) {
    QByteArray games;
    while (games.size() <= BoardRecord::MaxFileBytes) games += QByteArray(OpenGame) + "\n";
    StartSavedGame(WriteFile("database.pgn", games));
    ASSERT_FALSE(StartPanelShown());
    EXPECT_EQ(Form->CurrentFen(), OpenGameFen);
}

TEST_F(LiteRecords, AFenFromTheCommandLineSetsSideRightsEnPassantAndMoveNumber) {
    const QByteArray fen = "r3k2r/8/8/3pP3/8/8/8/R3K2R w Kq d6 4 20";
    ASSERT_TRUE(Form->StartWithFile(WriteFile("end.fen", "\xEF\xBB\xBF" + fen + "\r\n")));
    EXPECT_EQ(Form->CurrentFen(), QString::fromLatin1(fen));
    EXPECT_TRUE(Form->CurrentPgn().contains("[SetUp \"1\"]\n[FEN \"" + QString::fromLatin1(fen) + "\"]\n"));

    // The en-passant square is real: the pawn takes and the black pawn leaves d5.
    WindowTestHarness::DragPiece(Board(), E5, D6);
    EXPECT_EQ(Board().PieceAt(D5), ' ');
    ASSERT_TRUE(WaitForWhiteToMove(true));
    EXPECT_TRUE(Form->CurrentPgn().contains("\n20. exd6 "));
    EXPECT_TRUE(Form->CurrentFen().endsWith(" 21"));
}

TEST_F(LiteRecords, AFenFromTheDialogStartsWithThePanelsSettings) {
    Control<QComboBox>("ComboBox1")->setCurrentIndex(0);
    StartSavedGame(WriteFile("black.fen", "4k3/8/8/8/8/8/4P3/4K3 b - - 0 1\n"));
    ASSERT_FALSE(StartPanelShown());
    EXPECT_TRUE(Board().GetComputerPlaysWhite());
    EXPECT_FALSE(Board().GetComputerPlaysBlack());
    EXPECT_TRUE(Board().GetWhiteOnTop());
    // Black, the person, is to move; take-back has nothing before the start.
    EXPECT_EQ(Form->CurrentFen(), "4k3/8/8/8/8/8/4P3/4K3 b - - 0 1");
    EXPECT_FALSE(Button("PngSpeedButton1").isEnabled());
    WindowTestHarness::DragPiece(Board(), E8, D7);
    ASSERT_TRUE(WaitForWhiteToMove(false));
    EXPECT_TRUE(Form->CurrentPgn().contains("\n\n1... Kd7 2. "));
}

TEST_F(LiteRecords, FilesThatCannotBePlayedAreRefusedAndTheStartPanelStays) {
    const struct {
        const char* Name;
        QByteArray Text;
        const char* Message;
    } cases[] = {
        {"illegal.pgn", "1. e4 e5 2. Nf3 Nbd7 3. d4", "Ход 2... Nbd7: такого хода нет"},
        {"ambiguous.pgn", "[FEN \"8/8/1N3N2/8/8/8/8/4K2k w - - 3 12\"]\n12. Nd7 Kh2",
         "Ход 12. Nd7: ход неоднозначен"},
        {"knight.pgn", "[FEN \"8/P6k/8/8/8/8/8/K7 w - - 0 1\"]\n1. a8=N Kg6",
         "Ход 1. a8=N: превращение возможно только в ферзя"},
        {"rubbish.pgn", "1. e4 " + QByteArray(100000, 'x') + " e5",
         "Ход 1... xxxxxxxxxxxxxxxxxxxx\u2026: такого хода нет"},
        {"letter.pgn", "Dear friend,\nhere is our game.", "Файл с игрой поврежден.\rЗагрузка невозможна."},
        {"kings.fen", "4k3/8/8/8/8/8/8/4KK2 w - - 0 1", "Файл с игрой поврежден.\rЗагрузка невозможна."},
        {"check.fen", "4k3/8/8/8/8/8/8/4K2r b - - 0 1", "Файл с игрой поврежден.\rЗагрузка невозможна."},
        {"passant.fen", "4k3/8/8/3pP3/8/8/8/4K3 w - e6 0 1", "Файл с игрой поврежден.\rЗагрузка невозможна."},
        {"empty.fen", "", "Файл с игрой поврежден.\rЗагрузка невозможна."},
        // Only the beginning of a large file is read: a game that goes on past it cannot be played.
        {"endless.pgn", "1. e4 {" + QByteArray(BoardRecord::MaxFileBytes, 'x') + "} e5 *",
         "Файл с игрой поврежден.\rЗагрузка невозможна."},
    };
    for (const auto& c : cases) {
        Harness.Dialogs.Messages.clear();
        EXPECT_FALSE(Form->StartWithFile(WriteFile(c.Name, c.Text))) << c.Name;
        EXPECT_TRUE(StartPanelShown()) << c.Name;
        ASSERT_EQ(Harness.Dialogs.Messages.size(), 1u) << c.Name;
        EXPECT_EQ(Harness.Dialogs.Messages[0].Caption, "Ошибка загрузки");
        EXPECT_EQ(Harness.Dialogs.Messages[0].Text, c.Message) << c.Name;
        EXPECT_EQ(Board().GetPosition(), std::string(64, ' ')) << c.Name;
    }
}

TEST_F(LiteRecords, CopyGivesFenAndPgnAndPasteStartsANewGameOnlyWhenConfirmed) {
    StartNewGame();
    WindowTestHarness::DragPiece(Board(), D2, D4);
    ASSERT_TRUE(WaitForWhiteToMove(true));
    QClipboard* clipboard = QGuiApplication::clipboard();

    QTest::keyClick(Form.get(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(WindowTestHarness::WaitUntil([&] { return clipboard->text() == Form->CurrentFen(); }));
    EXPECT_EQ(GameLog().last(), "Позиция скопирована (FEN)");
    QTest::keyClick(Form.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(
        WindowTestHarness::WaitUntil([&] { return clipboard->text().startsWith("[Event \"Gambitron\"]"); }));
    EXPECT_TRUE(clipboard->text().contains("\n\n1. d4 "));
    EXPECT_EQ(GameLog().last(), "Партия скопирована (PGN)");

    // A game is running: the paste asks first, and No leaves it as it is.
    const QString before = Form->CurrentFen();
    clipboard->setText("4k3/8/8/8/8/8/4P3/4K3 b - - 0 40\n");
    QTest::keyClick(Form.get(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Harness.Dialogs.Questions.size(), 1u);
    EXPECT_EQ(Harness.Dialogs.Questions[0].Icon, QMessageBox::Question);
    EXPECT_EQ(Form->CurrentFen(), before);

    Harness.Dialogs.Answers.push_back(true);
    QTest::keyClick(Form.get(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(WindowTestHarness::WaitUntil([&] { return Logged("Игра вставлена из буфера обмена"); }));
    // Black to move, and the computer plays black: it answers at once.
    ASSERT_TRUE(WaitForWhiteToMove(true));
    EXPECT_TRUE(Form->CurrentPgn().contains("[FEN \"4k3/8/8/8/8/8/4P3/4K3 b - - 0 40\"]\n\n40... K"));
}

TEST_F(LiteRecords, APasteOnTheStartPanelStartsPlayWithItsSettingsAndNoQuestion) {
    Control<QComboBox>("ComboBox1")->setCurrentIndex(0); // the computer plays white
    Control<QComboBox>("ComboBox2")->setCurrentIndex(2);
    QGuiApplication::clipboard()->setText(QString::fromLatin1("\r\n") + OpenGame);
    Form->findChild<QAction*>("PasteGameAction")->trigger();
    ASSERT_TRUE(WindowTestHarness::WaitUntil([&] { return !StartPanelShown(); }));
    EXPECT_TRUE(Harness.Dialogs.Messages.empty());
    EXPECT_TRUE(Board().GetWhiteOnTop());
    EXPECT_EQ(Board().GetSearchDepth(), 3);
    EXPECT_TRUE(Board().GetComputerPlaysWhite());
    // White is to move, so the computer goes on at once.
    ASSERT_TRUE(WaitForWhiteToMove(false));
    EXPECT_TRUE(Form->CurrentPgn().contains("[White \"Компьютер (глубина 3)\"]\n[Black \"Игрок\"]"));
}

// A paste over a game on the board starts a game of its own: whether it runs follows the pasted position,
// not the game it replaced.
TEST_F(LiteRecords, APasteDuringAGameRunsOrEndsAsThePastedPositionDoes) {
    const auto paste = [&](const char* Fen) {
        Harness.Dialogs.Answers.push_back(true);
        QGuiApplication::clipboard()->setText(QString::fromLatin1(Fen));
        Form->findChild<QAction*>("PasteGameAction")->trigger();
        return WindowTestHarness::WaitUntil(
            [&] { return !Board().GetThinking() && !Board().MoveInProgress(); });
    };
    const struct {
        const char* Name;
        bool MateFirst;
        const char* Fen;
        bool Running;
    } cases[] = {
        {"a playable position after a mate", true, "4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", true},
        {"a mated position over a running game", false, "R5k1/5ppp/8/8/8/8/8/6K1 b - - 1 1", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        StartNewGame();
        if (c.MateFirst) {
            ASSERT_TRUE(paste("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1"));
            WindowTestHarness::DragPiece(Board(), A1, A8);
            ASSERT_FALSE(Form->GameRunning());
        }
        ASSERT_TRUE(paste(c.Fen));
        ASSERT_EQ(Form->CurrentFen().section(' ', 0, 1), QString::fromLatin1(c.Fen).section(' ', 0, 1));
        EXPECT_EQ(Form->GameRunning(), c.Running);
        EXPECT_EQ(GameLog().last() == "Новая игра: Ctrl+N", !c.Running) << GameLog().join('|').toStdString();
        Harness.Dialogs.Answers.clear();
        Harness.Dialogs.Answers.push_back(true);
        Click("NewGameButton");
        ASSERT_TRUE(WindowTestHarness::WaitUntil([&] { return StartPanelShown(); }));
    }
}

TEST_F(LiteRecords, APasteThatHoldsNoPlayableGameIsRefusedAndChangesNothing) {
    StartNewGame();
    const QString before = Form->CurrentFen();
    const struct {
        const char* Text;
        const char* Message;
    } cases[] = {
        {"hello", "В буфере обмена нет партии PGN или позиции FEN, которую можно сыграть."},
        {"8 800 555 35 35", "В буфере обмена нет партии PGN или позиции FEN, которую можно сыграть."},
        {"8/8/8/8/8/8/8/8 w - - 0 1",
         "В буфере обмена нет партии PGN или позиции FEN, которую можно сыграть."},
        {"1. e4 e5 2. Ke3", "Ход 2. Ke3: такого хода нет"},
    };
    for (const auto& c : cases) {
        Harness.Dialogs.Messages.clear();
        QGuiApplication::clipboard()->setText(QString::fromUtf8(c.Text));
        Form->findChild<QAction*>("PasteGameAction")->trigger();
        ASSERT_EQ(Harness.Dialogs.Messages.size(), 1u) << c.Text;
        EXPECT_EQ(Harness.Dialogs.Messages[0].Caption, "Вставка игры");
        EXPECT_EQ(Harness.Dialogs.Messages[0].Text, c.Message);
        EXPECT_EQ(Form->CurrentFen(), before);
    }
}

TEST(PastedRecords, SpacesAndInvisibleMarksOfWebPagesReadLikeBlanksAndNothing) {
    const struct {
        QString Text;
        const char* Fen;
    } cases[] = {
        {QString::fromUtf8("4k3/8/8/8/8/8/4P3/4K3\u00A0b\u00A0-\u00A0-\u00A00\u00A040"),
         "4k3/8/8/8/8/8/4P3/4K3 b - - 0 40"},
        {QString::fromUtf8("1.\u00A0e4\u2009e5\u202F2.\u00A0Nf3 *"),
         "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2"},
        {QString::fromUtf8("\uFEFF4k3/8/8/8/8/8/4P3/4K3 w - - 0 1\u200B"), "4k3/8/8/8/8/8/4P3/4K3 w - - 0 1"},
        {QString::fromUtf8("\u200E1. e4\u200B e5 *"),
         "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2"},
    };
    for (const auto& c : cases) {
        const BoardRecord::ReadResult read = BoardRecord::ReadPasted(c.Text);
        ASSERT_TRUE(read.Game.has_value()) << c.Text.toStdString();
        EXPECT_EQ(read.Game->Fen(), c.Fen);
    }
}

TEST_F(LiteRecords, TheLogOffersTheSameActionsInItsMenu) {
    EXPECT_EQ(Log().contextMenuPolicy(), Qt::ActionsContextMenu);
    QStringList texts;
    for (const QAction* action : Log().actions())
        texts << action->text() + " " + action->shortcut().toString();
    EXPECT_EQ(texts, (QStringList{"Копировать позицию (FEN) Ctrl+C", "Копировать партию (PGN) Ctrl+Shift+C",
                                  "Вставить игру (FEN или PGN) Ctrl+V"}));
}
