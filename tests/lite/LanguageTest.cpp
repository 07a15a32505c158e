// The lite window in English and in Russian: the language a person sees changes, what goes into a saved
// game does not.
#include "LiteWindowFixture.h"

#include "ScopedLanguage.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
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
    EXPECT_EQ(Button("PngSpeedButton3").toolTip(), "Turn the board (Ctrl+R)");

    StartNewGame();
    WindowTestHarness::DragPiece(Board(), E2, E4);
    ASSERT_TRUE(WaitForWhiteToMove(true));
    EXPECT_EQ(GameLog().value(0), "Move: E2 - E4");
    EXPECT_TRUE(GameLog().value(1).startsWith("Move: ")) << GameLog().join('|').toStdString();
    EXPECT_EQ(LineColor("Move: E2 - E4"), WinColor(LogColor::WhiteMove));
}

// Boxes a person meets in English: loading with no file chosen (which the window must tell by the choice,
// not by the label's text), and pasting what is no game, or a game with a move that cannot be played.
TEST_F(EnglishLiteWindow, ItsBoxesSpeakEnglish) {
    EXPECT_EQ(Control<QLabel>("ThinkingLabel")->text(), "Computer thinking…");
    EXPECT_EQ(Button("NewGameButton").toolTip(), "New game (Ctrl+N)");
    Click("RadioButton2");
    Click("Button1");
    ASSERT_EQ(Harness.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Harness.Dialogs.Messages[0].Caption, "No File Chosen");
    EXPECT_TRUE(StartPanelShown());

    const struct {
        const char* Clipboard;
        const char* Message;
    } cases[] = {
        {"hello", "The clipboard holds no PGN game or FEN position that can be played."},
        {"1. e4 e5 2. Ke3", "Move 2. Ke3: no such move"},
        {"1. Nf3 Nf6 2. Ng1 Ng8 3. Nf3 Nf6 4. Ng1 Ng8 5. Nf3 *",
         "Move 5. Nf3: no moves can follow a threefold repetition"},
    };
    for (const auto& c : cases) {
        Harness.Dialogs.Messages.clear();
        QGuiApplication::clipboard()->setText(QString::fromUtf8(c.Clipboard));
        Form->findChild<QAction*>("PasteGameAction")->trigger();
        ASSERT_EQ(Harness.Dialogs.Messages.size(), 1u) << c.Clipboard;
        EXPECT_EQ(Harness.Dialogs.Messages[0].Caption, "Paste Game");
        EXPECT_EQ(Harness.Dialogs.Messages[0].Text, c.Message);
    }
}

TEST_F(CLocaleLiteWindow, SpeaksRussianInTheCLocale) {
    EXPECT_EQ(Control<QRadioButton>("RadioButton1")->text(), "Новая игра");
    EXPECT_EQ(Control<QComboBox>("ComboBox2")->itemText(5), "6 ходов");
    EXPECT_EQ(Control<QPushButton>("Button1")->text(), "Начать игру");
    EXPECT_EQ(Button("PngSpeedButton3").toolTip(), "Перевернуть доску (Ctrl+R)");
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
