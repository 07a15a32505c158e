// The lite window in English and in Russian: the language a person sees changes, what goes into a saved
// game does not.
#include "LiteWindowFixture.h"

#include "ScopedLanguage.h"

#include <QCheckBox>
#include <QRadioButton>

namespace {

// Installed before the window is made (bases are made in the order they are named).
struct English {
    ScopedLanguage Lang{Language::English};
};
class EnglishLiteWindow : protected English, public LiteWindow {};

// The locale variables as "LANG=C gambitron-lite" would see them, with an English LANGUAGE that the C
// locale ignores.
struct CLocale {
    ScopedLanguage Lang{"en", "C"};
};
class CLocaleLiteWindow : protected CLocale, public LiteWindow {};

// Two people at one board (a saved game where neither side is the computer's), e2-e4 played, saved: the
// saved file's bytes.
QByteArray SavedAfterOneMove(Language Lang) {
    ScopedLanguage language(Lang);
    WindowTestHarness harness;
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.pos"));
    QFile file(in);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Gambitron Position]\nGameVersion=Gambitron Lite 1.1\nWhiteToMove=1\nSearchDepth=4\n"
               "ComputerPlaysWhite=0\nComputerPlaysBlack=0\nPosition=init\nWhiteOnTop=0\nLastMove=@9-@9\n");
    file.close();
    TForm1 form;
    form.show();
    const auto click = [&form](const char* name) {
        QTest::mouseClick(form.findChild<QAbstractButton*>(QString::fromLatin1(name)), Qt::LeftButton);
    };
    click("RadioButton2");
    harness.Dialogs.FileAnswers.push_back(in);
    click("PngSpeedButton5");
    click("Button1");
    WindowTestHarness::DragPiece(form.Board(), E2, E4);
    const QString out = dir.filePath(QStringLiteral("out.pos"));
    harness.Dialogs.FileAnswers.push_back(out);
    click("PngSpeedButton4");
    EXPECT_TRUE(harness.Dialogs.Messages.empty());
    QFile saved(out);
    return saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray("<not saved>");
}

} // namespace

TEST_F(EnglishLiteWindow, ShowsItsStartPanelAndLogInEnglish) {
    EXPECT_EQ(Form->windowTitle(), "Gambitron Lite 1.1");
    EXPECT_EQ(Control<QRadioButton>("RadioButton1")->text(), "New game");
    EXPECT_EQ(Control<QLabel>("Label1")->text(), "Computer plays:");
    EXPECT_EQ(Control<QComboBox>("ComboBox1")->itemText(0), "White");
    EXPECT_EQ(Control<QComboBox>("ComboBox2")->itemText(5), "6 moves");
    EXPECT_EQ(Control<QRadioButton>("RadioButton2")->text(), "Load a game");
    EXPECT_EQ(Control<QCheckBox>("CheckBox1")->text(), "Play sounds");
    EXPECT_EQ(Control<QPushButton>("Button1")->text(), "Start game");
    EXPECT_EQ(Button("PngSpeedButton3").toolTip(), "Turn the board");

    StartNewGame();
    WindowTestHarness::DragPiece(Board(), E2, E4);
    ASSERT_TRUE(WaitForWhiteToMove(true));
    EXPECT_EQ(GameLog().value(0), "Move: E2 - E4");
    EXPECT_TRUE(GameLog().value(1).startsWith("Move: ")) << GameLog().join('|').toStdString();
    EXPECT_EQ(LineColor("Move: E2 - E4"), WinColor(LogColor::WhiteMove));
}

TEST_F(CLocaleLiteWindow, SpeaksRussianInTheCLocale) {
    EXPECT_EQ(Control<QRadioButton>("RadioButton1")->text(), "Новая игра");
    EXPECT_EQ(Control<QComboBox>("ComboBox2")->itemText(5), "6 ходов");
    EXPECT_EQ(Control<QPushButton>("Button1")->text(), "Начать игру");
    EXPECT_EQ(Button("PngSpeedButton3").toolTip(), "Перевернуть доску");
    StartNewGame();
    WindowTestHarness::DragPiece(Board(), E2, E4);
    EXPECT_EQ(GameLog().value(0), "Ход: E2 - E4");
}

TEST(SavedGameLanguage, AGameSavedInEnglishIsByteForByteTheOneSavedInRussian) {
    const QByteArray russian = SavedAfterOneMove(Language::Russian);
    EXPECT_EQ(russian, "[Gambitron Position]\nGameVersion=Gambitron Lite 1.1\nWhiteToMove=0\nSearchDepth=4\n"
                       "ComputerPlaysWhite=0\nComputerPlaysBlack=0\nPosition="
                       "rnbqkbnrpppppppp                    P           PPPP PPPRNBQKBNR\n"
                       "WhiteOnTop=0\nLastMove=E2-E4\n");
    EXPECT_EQ(SavedAfterOneMove(Language::English), russian);
}
