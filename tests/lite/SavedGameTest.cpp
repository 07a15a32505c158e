#include "LiteWindowFixture.h"

#include "GameMessages.h"
#include "ReadOnlyFolder.h"
#include "SavedGame.h"

#include <QDir>
#include <QRegularExpression>

namespace {

// a8 and h1 empty: the stored position begins and ends with a space.
const QByteArray OpenCorners = " nbqkbnr"
                               "pppppppp"
                               "        "
                               "        "
                               "    P   "
                               "        "
                               "PPPP PPP"
                               "RNBQKBN ";

// A file without a position of its own gets the initial one: an empty board is no game.
QByteArray GameFile(const QByteArray& Keys) {
    const QByteArray position = Keys.contains("Position=") ? QByteArray() : "Position=init\n";
    return "[Gambitron Position]\nGameVersion=Gambitron Lite 1.1\n" + position + Keys;
}

} // namespace

using SavedGames = LiteWindow;

TEST_F(SavedGames, SavingWritesTheEightKeysInOrderAndLogsIt) {
    StartSavedGame(WriteFile("in.pos", GameFile("WhiteToMove=0\nSearchDepth=3\nPosition=" + OpenCorners +
                                                "\nWhiteOnTop=1\nLastMove=E2-E4\n")));
    const QString name = Dir.filePath("out.pos");
    Harness.Dialogs.FileAnswers.push_back(name);
    Click("PngSpeedButton4");

    const FileDialogRequest& request = Harness.Dialogs.FileRequests.back();
    EXPECT_EQ(request.Title, "Сохранение игры");
    EXPECT_EQ(request.Filter, "Файлы позиций Gambitron (*.pos);;Партии PGN (*.pgn)");
    EXPECT_EQ(request.DefaultSuffix, "pos");
    EXPECT_TRUE(request.Save && request.ConfirmOverwrite);
    EXPECT_EQ(request.Directory, Dialogs::DocumentsFolder());
    EXPECT_TRUE(QRegularExpression("^\\d\\d\\.\\d\\d\\.\\d\\d @ \\d\\d-\\d\\d\\.pos$")
                    .match(request.FileName)
                    .hasMatch());

    EXPECT_EQ(ReadFile(name),
              "[Gambitron Position]\nGameVersion=Gambitron Lite 1.1\nWhiteToMove=0\nSearchDepth=3\n"
              "ComputerPlaysWhite=0\nComputerPlaysBlack=0\nPosition=" +
                  OpenCorners + "\nWhiteOnTop=1\nLastMove=E2-E4\n");
    EXPECT_EQ(GameLog().last(), "Игра сохранена");
    EXPECT_TRUE(Harness.Dialogs.Messages.empty());
}

TEST_F(SavedGames, APositionWithBlanksAtBothEndsComesBackUnchanged) {
    StartSavedGame(WriteFile("in.pos", GameFile("Position=" + OpenCorners + "\n")));
    EXPECT_EQ(Board().GetPosition(), OpenCorners.toStdString());
    const QString name = Dir.filePath("again.pos");
    Harness.Dialogs.FileAnswers.push_back(name);
    Click("PngSpeedButton4");

    TForm1 second;
    ASSERT_TRUE(second.StartWithFile(name));
    EXPECT_EQ(second.Board().GetPosition(), OpenCorners.toStdString());
}

TEST_F(SavedGames, ANewGameSavedBeforeAnyMoveStoresNoLastMoveAndLoadsWithoutFrames) {
    StartNewGame();
    const QString name = Dir.filePath("start.pos");
    Harness.Dialogs.FileAnswers.push_back(name);
    Click("PngSpeedButton4");
    EXPECT_TRUE(ReadFile(name).endsWith("\nLastMove=@9-@9\n"));

    TForm1 second;
    ASSERT_TRUE(second.StartWithFile(name));
    EXPECT_EQ(second.LastMoveFrom, None);
    EXPECT_EQ(second.LastMoveTo, None);
}

TEST_F(SavedGames, TheStoredLastMoveIsFramedAndAMalformedOneGivesNoFrame) {
    StartSavedGame(WriteFile("moved.pos", GameFile("Position=" + OpenCorners + "\nLastMove=e2-E4\n")));
    EXPECT_EQ(Form->LastMoveFrom, E2);
    EXPECT_EQ(Form->LastMoveTo, E4);
    EXPECT_TRUE(Framed(E4));

    for (const QByteArray& bad :
         {QByteArray("E2"), QByteArray("Z9-E4"), QByteArray("E2-E"), QByteArray("")}) {
        TForm1 second;
        ASSERT_TRUE(second.StartWithFile(WriteFile("bad.pos", GameFile("LastMove=" + bad + "\n"))));
        EXPECT_EQ(second.LastMoveFrom, None) << bad.constData();
        EXPECT_EQ(second.LastMoveTo, None) << bad.constData();
    }
}

TEST_F(SavedGames, NumbersAreClampedByTheBoardAndUnreadableOnesKeepTheCurrentValue) {
    StartSavedGame(WriteFile("deep.pos", GameFile("SearchDepth=12\n")));
    EXPECT_EQ(Board().GetSearchDepth(), 8);

    TForm1 hex;
    ASSERT_TRUE(hex.StartWithFile(WriteFile("hex.pos", GameFile("SearchDepth= 0x5 \r\nWhiteOnTop=0X1\n"))));
    EXPECT_EQ(hex.Board().GetSearchDepth(), 5);
    EXPECT_TRUE(hex.Board().GetWhiteOnTop());

    TForm1 words;
    words.Board().SetSearchDepth(4);
    ASSERT_TRUE(words.StartWithFile(
        WriteFile("abc.pos", GameFile("SearchDepth=abc\nWhiteOnTop=99999999999\nWhiteToMove=yes\n"))));
    EXPECT_EQ(words.Board().GetSearchDepth(), 4);
    EXPECT_FALSE(words.Board().GetWhiteOnTop());
    EXPECT_TRUE(words.Board().GetWhiteToMove());
}

TEST_F(SavedGames, AnyGameVersionLoadsAndTheLoadIsLogged) {
    StartSavedGame(WriteFile("x.pos", "[gambitron position]\ngameversion=x\nposition=init\n"));
    EXPECT_FALSE(StartPanelShown());
    EXPECT_TRUE(Harness.Dialogs.Messages.empty());
    EXPECT_EQ(GameLog().value(0), "Игра загружена");
    EXPECT_EQ(Log().LineColor(3), WinColor(LogColor::Status));
}

TEST_F(SavedGames, AFileWithoutGameVersionIsRefusedAsDamagedAndTheDialogReopens) {
    StartSavedGame(WriteFile("damaged.pos",
                             "[Other]\nGameVersion=Gambitron Lite 1.1\n[Gambitron Position]\nPosition=x\n"));
    ASSERT_EQ(Harness.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Harness.Dialogs.Messages[0].Icon, QMessageBox::Warning);
    EXPECT_EQ(Harness.Dialogs.Messages[0].Caption, "Ошибка загрузки");
    EXPECT_EQ(Harness.Dialogs.Messages[0].Text, "Файл с игрой поврежден.\rЗагрузка невозможна.");
    EXPECT_EQ(Harness.Dialogs.FileRequests.size(), 2u);
    EXPECT_EQ(Harness.Dialogs.FileRequests.back().Title, "Загрузка игры");
    EXPECT_TRUE(StartPanelShown());
    EXPECT_EQ(Log().LineCount(), 3);
}

TEST_F(SavedGames, BinaryRubbishIsRefusedAsDamaged) {
    QByteArray rubbish;
    for (int i = 0; i < 4096; ++i) rubbish += static_cast<char>((i * 37) & 0xFF);
    StartSavedGame(WriteFile("rubbish.pos", rubbish));
    ASSERT_EQ(Harness.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Harness.Dialogs.Messages[0].Text, "Файл с игрой поврежден.\rЗагрузка невозможна.");
    EXPECT_TRUE(StartPanelShown());
}

TEST_F(SavedGames, NoChosenFileAndAMissingFileEachGiveTheirWarning) {
    Click("RadioButton2");
    Click("Button1");
    ASSERT_EQ(Harness.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Harness.Dialogs.Messages[0].Caption, "Файл не указан");
    EXPECT_EQ(Harness.Dialogs.Messages[0].Text, "Файл с игрой не указан");
    EXPECT_EQ(Harness.Dialogs.FileRequests.size(), 1u);

    const QString name = WriteFile("gone.pos", GameFile(""));
    Harness.Dialogs.FileAnswers.push_back(name);
    Click("PngSpeedButton5");
    QFile::remove(name);
    Click("Button1");
    ASSERT_EQ(Harness.Dialogs.Messages.size(), 2u);
    EXPECT_EQ(Harness.Dialogs.Messages[1].Caption, "Ошибка загрузки");
    EXPECT_EQ(Harness.Dialogs.Messages[1].Text, "Указанный файл не найден.\rВозможно он был удален.");
    EXPECT_EQ(Harness.Dialogs.FileRequests.size(), 3u);
    EXPECT_TRUE(StartPanelShown());
}

TEST_F(SavedGames, SavingOverAnExistingFileReplacesTheValuesAndKeepsItsOtherLines) {
    StartNewGame();
    const QString name = WriteFile("old.pos", "; my game\r\n[Gambitron Position]\r\nNote=keep me\r\n"
                                              "SearchDepth=6\r\nPosition=old\r\n[Extra]\r\nA=1\r\n");
    Harness.Dialogs.FileAnswers.push_back(name);
    Click("PngSpeedButton4");
    const QByteArray saved = ReadFile(name);
    EXPECT_TRUE(saved.startsWith(
        "; my game\r\n[Gambitron Position]\r\nNote=keep me\r\nSearchDepth=1\r\nPosition=rnbqkbnr"));
    EXPECT_TRUE(saved.endsWith("LastMove=@9-@9\r\n[Extra]\r\nA=1\r\n"));
    EXPECT_EQ(saved.count("\n"), saved.count("\r\n"));
}

TEST_F(SavedGames, AFailedSaveReportsItAndLeavesTheOldFileIntact) {
    StartNewGame();
    const QString folder = Dir.filePath("locked");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString name = folder + "/game.pos";
    const QByteArray old = GameFile("Position=old\n");
    {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
    }
    ReadOnlyFolder lock(folder);
    if (!lock.Locked()) GTEST_SKIP() << "the folder cannot be made read-only here";

    Harness.Dialogs.FileAnswers.push_back(name);
    Click("PngSpeedButton4");
    ASSERT_EQ(Harness.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Harness.Dialogs.Messages[0].Icon, QMessageBox::Warning);
    EXPECT_EQ(Harness.Dialogs.Messages[0].Caption, "Ошибка записи");
    EXPECT_EQ(Harness.Dialogs.Messages[0].Text,
              "Не удалось сохранить игру в файл \"" + QDir::toNativeSeparators(name) +
                  "\".\rВозможно сам файл или его каталог доступены только для чтения.");
    EXPECT_EQ(ReadFile(name), old);
    EXPECT_FALSE(Logged("Игра сохранена"));
}

TEST_F(SavedGames, AFileWithWindowsLineBreaksLoadsItsValuesExactly) {
    StartSavedGame(
        WriteFile("crlf.pos", "[Gambitron Position]\r\nGameVersion=Gambitron Lite 1.1\r\nWhiteToMove=0\r\n"
                              "SearchDepth=2\r\nPosition=" +
                                  OpenCorners + "\r\nWhiteOnTop=1\r\nLastMove=E2-E4\r\n"));
    EXPECT_EQ(Board().GetPosition(), OpenCorners.toStdString());
    EXPECT_FALSE(Board().GetWhiteToMove());
    EXPECT_EQ(Board().GetSearchDepth(), 2);
    EXPECT_TRUE(Board().GetWhiteOnTop());
    EXPECT_EQ(Form->LastMoveTo, E4);
}

TEST_F(SavedGames, AGameWhereTheComputerIsToMoveStartsItAtOnceAndKeepsItsFrames) {
    StartSavedGame(WriteFile("black.pos", GameFile("WhiteToMove=0\nComputerPlaysBlack=1\nPosition=" +
                                                   OpenCorners + "\nLastMove=E2-E4\n")));
    EXPECT_TRUE(Logged("Компьютер играет черными"));
    EXPECT_FALSE(Logged("Компьютер играет белыми"));
    ASSERT_TRUE(WaitForWhiteToMove(true));
    EXPECT_NE(Form->LastMoveFrom, E2);
    EXPECT_TRUE(Framed(Form->LastMoveTo));
    EXPECT_EQ(GameLog().last(), GameMessages::MoveLine(Form->LastMoveFrom, Form->LastMoveTo));
}

TEST_F(SavedGames, TheCommandLineFileStartsPlayAndABadOneLeavesTheStartPanel) {
    EXPECT_FALSE(Form->StartWithFile(Dir.filePath("nowhere.pos")));
    EXPECT_TRUE(StartPanelShown());
    ASSERT_EQ(Harness.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Harness.Dialogs.Messages[0].Caption, "Ошибка загрузки");

    EXPECT_TRUE(
        Form->StartWithFile(WriteFile("good.pos", GameFile("ComputerPlaysWhite=1\nComputerPlaysBlack=0\n"))));
    EXPECT_FALSE(StartPanelShown());
    EXPECT_TRUE(Logged("Компьютер играет белыми"));
}

// Positions the rules cannot play: the file is refused as damaged and the board keeps its game.
TEST_F(SavedGames, AnImpossiblePositionIsRefusedAsDamagedAndTheBoardKeepsItsGame) {
    const struct {
        const char* Name;
        QByteArray Keys;
    } cases[] = {
        {"no kings", "Position=rnbq bnrpppppppp                                PPPPPPPPRNBQ BNR\n"},
        {"only a version", "Position=\n"},
        {"a short position, black to move", "WhiteToMove=0\nComputerPlaysBlack=1\nPosition=   r\n"},
        {"three kings", "Position=rnbqkbnrpppppppp           K                    PPPPPPPPRNBQKBNR\n"},
        {"a pawn on the eighth rank",
         "Position=rnbqkbnPpppppppp                                PPPPPPPPRNBQKBNR\n"},
        {"a pawn on the first rank",
         "Position=rnbqkbnrpppppppp                                PPPPPPPPRNBQKBNp\n"},
        {"black in check with white to move",
         "Position=    k                               R                   K       \n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Harness.Dialogs.Messages.clear();
        const std::string before = Board().GetPosition();
        EXPECT_FALSE(Form->StartWithFile(WriteFile("bad.pos", GameFile(c.Keys))));
        EXPECT_TRUE(StartPanelShown());
        ASSERT_EQ(Harness.Dialogs.Messages.size(), 1u);
        EXPECT_EQ(Harness.Dialogs.Messages[0].Text, "Файл с игрой поврежден.\rЗагрузка невозможна.");
        EXPECT_EQ(Board().GetPosition(), before);
        EXPECT_FALSE(Logged("Игра загружена"));
    }
    // The same check lets a sparse but sound position through.
    EXPECT_TRUE(Form->StartWithFile(
        WriteFile("sparse.pos",
                  GameFile("Position=    k                                                       K   \n"))));
}

TEST(SavedGameText, LastMovesAreWrittenAsLetterDigitPairs) {
    EXPECT_EQ(SavedGame::LastMoveText(E2, E4), "E2-E4");
    EXPECT_EQ(SavedGame::LastMoveText(A8, H1), "A8-H1");
    EXPECT_EQ(SavedGame::LastMoveText(None, None), "@9-@9");
}
