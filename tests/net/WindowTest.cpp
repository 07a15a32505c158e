// The window itself: its start, the control panel's rules, the computer and two-player modes, the log,
// the move list and the chat line.
#include "NetTestSupport.h"
#include "WinColor.h"

#include <QApplication>
#include <QLineEdit>
#include <QToolTip>

using namespace NetTest;

namespace {

class Window : public ::testing::Test {
protected:
    void SetUp() override {
        form = NewWindow();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void Drag(Square from, Square to) { WindowTestHarness::DragPiece(*form->ChessBrd1, from, to); }
    bool StampedLine(const QString& text) const {
        static const QRegularExpression stamped(QStringLiteral("^\\[\\d\\d:\\d\\d:\\d\\d\\]: "));
        for (const QString& line : form->RichEdit1()->Lines())
            if (line.contains(stamped) && line.endsWith(QStringLiteral("]: ") + text)) return true;
        return false;
    }

    WindowTestHarness harness;
    std::unique_ptr<TForm1> form;
};

TEST_F(Window, StartsWithTheControlPanelAndAnEmptyBoard) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Gambitron 1.2"));
    EXPECT_EQ(form->size(), QSize(592, 384));
    EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "fixed border";
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(form->ChessBrd1->geometry(), QRect(8, 8, 368, 368));
    EXPECT_EQ(form->ChessBrd1->GetPosition(), std::string(64, ' '));
    EXPECT_TRUE(form->TabControl1->isVisible());
    EXPECT_FALSE(form->ListView1()->isVisible());
    EXPECT_FALSE(form->RichEdit1()->isVisible());
    EXPECT_FALSE(form->Edit2->isVisible());
    EXPECT_TRUE(form->RadioButton1->isChecked());
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("Черные"));
    EXPECT_EQ(form->ComboBox2->currentText(), QStringLiteral("1 ход"));
    EXPECT_TRUE(form->RadioButton4->isChecked());
    EXPECT_FALSE(form->RadioButton4->isEnabled());
    EXPECT_FALSE(form->Edit1->isVisible());
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(form->ComboBox5->count(), 0);
    EXPECT_EQ(form->RichEdit1()->Lines(), (QStringList{QStringLiteral("Добро пожаловать в Gambitron!"),
                                                       QStringLiteral("Информация об авторе - /about."),
                                                       QStringLiteral("Краткая справка - /help.")}));
    EXPECT_EQ(form->RichEdit1()->LineColor(0), WinColor(LogColor::Welcome));
}

TEST_F(Window, EnterOnTheFocusedStartButtonStartsTheGame) {
    form->Button1->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), form->Button1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    EXPECT_FALSE(form->TabControl1->isVisible());
    EXPECT_TRUE(StampedLine(QStringLiteral("Игра запущена")));
}

TEST_F(Window, TheRadioButtonsEnableTheirOwnOptions) {
    Click(form->RadioButton2);
    EXPECT_TRUE(form->RadioButton4->isEnabled());
    EXPECT_TRUE(form->RadioButton5->isEnabled());
    EXPECT_FALSE(form->ComboBox1->isEnabled());
    EXPECT_FALSE(form->Label2->isEnabled());
    EXPECT_TRUE(form->ComboBox5->isVisible());
    EXPECT_TRUE(form->ComboBox5->isEnabled());
    EXPECT_TRUE(form->ComboBox3->isEnabled());
    EXPECT_EQ(form->Label4->text(), QStringLiteral("Мои IP-адреса:"));
    QStringList addresses;
    for (int i = 0; i < form->ComboBox5->count(); ++i) addresses << form->ComboBox5->itemText(i);
    EXPECT_TRUE(addresses.contains(QStringLiteral("127.0.0.1")));
    EXPECT_EQ(form->ComboBox5->currentIndex(), 0);

    Click(form->RadioButton5);
    EXPECT_TRUE(form->Edit1->isVisible());
    EXPECT_FALSE(form->ComboBox5->isVisible());
    EXPECT_EQ(form->Label4->text(), QStringLiteral("Адрес сервера:"));
    EXPECT_FALSE(form->ComboBox3->isEnabled()) << "only the server chooses sides";

    Click(form->RadioButton3);
    EXPECT_FALSE(form->RadioButton5->isEnabled());
    EXPECT_FALSE(form->Edit1->isEnabled());
    EXPECT_TRUE(form->ComboBox4->isEnabled());
    EXPECT_TRUE(form->Label6->isEnabled());
}

// However the player goes between the modes, exactly the mode last clicked is chosen.
TEST_F(Window, TheModesExcludeEachOtherWhateverTheOrderOfClicks) {
    const std::vector<std::vector<QRadioButton*>> orders = {
        {form->RadioButton1},
        {form->RadioButton3, form->RadioButton1},
        {form->RadioButton2, form->RadioButton3, form->RadioButton1},
        {form->RadioButton3, form->RadioButton2, form->RadioButton2},
        {form->RadioButton2, form->RadioButton5, form->RadioButton1, form->RadioButton3},
    };
    for (const auto& order : orders) {
        for (QRadioButton* r : order) Click(r);
        for (QRadioButton* mode : {form->RadioButton1, form->RadioButton2, form->RadioButton3})
            EXPECT_EQ(mode->isChecked(), mode == order.back())
                << mode->objectName().toStdString() << " after " << order.size() << " clicks";
        EXPECT_TRUE(form->RadioButton4->isChecked() != form->RadioButton5->isChecked());
    }
    Click(form->RadioButton1);
    Click(form->Button1);
    EXPECT_TRUE(form->LocalGame);
    EXPECT_TRUE(form->ChessBrd1->GetComputerPlaysBlack());
}

TEST_F(Window, OnlyNetworkPlayListsThisMachinesAddresses) {
    Click(form->RadioButton3);
    Click(form->RadioButton1);
    EXPECT_EQ(form->ComboBox5->count(), 0);
    Click(form->RadioButton2);
    EXPECT_GT(form->ComboBox5->count(), 0);
}

TEST_F(Window, TheServerAddressTakesAddressesAndHostNamesOnly) {
    Click(form->RadioButton2);
    Click(form->RadioButton5);
    const struct {
        const char* Typed;
        const char* Kept;
    } cases[] = {
        {"19a2.1-68,.0 .1", "19a2.1-68.0.1"},
        {"[fe80::1%eth0]", "[fe80::1%eth0]"},
        {"my-host.local", "my-host.local"},
        {"; host!", "host"},
    };
    for (const auto& c : cases) {
        form->Edit1->clear();
        QTest::keyClicks(form->Edit1, QString::fromUtf8(c.Typed));
        EXPECT_EQ(form->Edit1->text(), QString::fromUtf8(c.Kept)) << c.Typed;
    }
    QTest::keyClick(form->Edit1, Qt::Key_Backspace);
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("hos"));
    form->Edit1->selectAll();
    form->Edit1->insert(QStringLiteral("10.0.0.7"));
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("10.0.0.7")) << "pasted text passes";
}

TEST_F(Window, ComputerModeListsBothSidesMovesWithStampedLogLines) {
    form->ComboBox2->setCurrentIndex(3);
    Click(form->Button1);
    EXPECT_EQ(form->ChessBrd1->GetSearchDepth(), 4);
    form->ChessBrd1->SetSearchDepth(1);
    EXPECT_FALSE(form->TabControl1->isVisible());
    EXPECT_TRUE(form->ListView1()->isVisible());
    EXPECT_TRUE(form->Edit2->hasFocus());
    EXPECT_TRUE(StampedLine(QStringLiteral("Запуск игры...")));
    EXPECT_TRUE(StampedLine(QStringLiteral("Игра запущена")));
    EXPECT_FALSE(form->ChessBrd1->GetWhiteOnTop());

    Drag(E2, E4);
    ASSERT_TRUE(WaitUntil([&] { return !Cell(*form, 0, 2).isEmpty(); }));
    EXPECT_EQ(Cell(*form, 0, 0), QStringLiteral("1."));
    EXPECT_EQ(Cell(*form, 0, 1), QStringLiteral("E2 - E4"));
    EXPECT_TRUE(BoardMatchesMoveList(*form));
    EXPECT_EQ(harness.PlayedSounds().count(QStringLiteral("MOVE")), 2);
    EXPECT_TRUE(form->BoardPanel->isEnabled());
}

TEST_F(Window, AComputerWithWhiteMovesFirstFromTheTop) {
    form->ComboBox1->setCurrentIndex(0);
    Click(form->Button1);
    EXPECT_TRUE(form->ChessBrd1->GetWhiteOnTop());
    ASSERT_TRUE(WaitUntil([&] { return !Cell(*form, 0, 1).isEmpty(); }));
    EXPECT_TRUE(Cell(*form, 0, 2).isEmpty());
    EXPECT_TRUE(BoardMatchesMoveList(*form));
}

TEST_F(Window, ClosingWhileTheComputerThinksStopsIt) {
    form->ComboBox1->setCurrentIndex(0);
    form->ComboBox2->setCurrentIndex(5);
    Click(form->Button1);
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->ChessBrd1->GetComputerPlaysWhite());
    EXPECT_FALSE(form->ChessBrd1->GetThinking());
    form.reset();
}

TEST_F(Window, TwoPlayersMateEndsTheGameAndDisablesTheBoard) {
    Click(form->RadioButton3);
    Click(form->Button1);
    for (auto [from, to] : {std::pair{F2, F3}, {E7, E5}, {G2, G4}, {D8, H4}}) Drag(from, to);
    ASSERT_EQ(form->ListView1()->rowCount(), 2);
    EXPECT_EQ(Cell(*form, 1, 0), QStringLiteral("2."));
    EXPECT_EQ(Cell(*form, 1, 1), QStringLiteral("G2 - G4"));
    EXPECT_EQ(Cell(*form, 1, 2), QStringLiteral("D8 - H4"));
    const QStringList lines = LogTexts(*form);
    EXPECT_EQ(lines.mid(lines.size() - 4),
              (QStringList{QStringLiteral("Черные ставят шах!"), QStringLiteral("Черные ставят мат!"),
                           QStringLiteral("Игра завершена"), QStringLiteral("Новая игра: Ctrl+N")}));
    EXPECT_EQ(LogColorOf(*form, QStringLiteral("Черные ставят мат!")), WinColor(LogColor::Event));
    EXPECT_EQ(LogColorOf(*form, QStringLiteral("Игра завершена")), WinColor(LogColor::Status));
    EXPECT_EQ(harness.PlayedSounds().last(), QStringLiteral("MATE"));
    EXPECT_FALSE(form->BoardPanel->isEnabled());
    EXPECT_EQ(form->LastMoveFrom, D8);
    EXPECT_EQ(form->LastMoveTo, H4);

    const std::string finished = form->ChessBrd1->GetPosition();
    Drag(A2, A3);
    EXPECT_EQ(form->ChessBrd1->GetPosition(), finished) << "the board no longer takes moves";
}

TEST_F(Window, TwoPlayersCapturesAreLoggedAndTheBoardCanBeTurned) {
    Click(form->RadioButton3);
    form->ComboBox4->setCurrentIndex(1);
    Click(form->Button1);
    EXPECT_TRUE(form->ChessBrd1->GetWhiteOnTop());
    for (auto [from, to] : {std::pair{E2, E4}, {D7, D5}, {E4, D5}}) Drag(from, to);
    EXPECT_TRUE(StampedLine(QStringLiteral("Белые берут пешку!")));
    EXPECT_EQ(Cell(*form, 1, 1), QStringLiteral("E4 - D5"));
    EXPECT_TRUE(BoardMatchesMoveList(*form));
}

TEST_F(Window, ChatInALocalGameIsOnlyEchoed) {
    Click(form->RadioButton3);
    Click(form->Button1);
    TypeChat(*form, QStringLiteral("заметка"));
    TypeChat(*form, QStringLiteral("/about"));
    TypeChat(*form, QString());
    const QStringList lines = LogTexts(*form);
    EXPECT_EQ(LogColorOf(*form, QStringLiteral("заметка")), WinColor(LogColor::BlackMove));
    const int at = static_cast<int>(lines.indexOf(QStringLiteral("/about")));
    ASSERT_GE(at, 0);
    EXPECT_EQ(lines.value(at + 2), QStringLiteral("Версия: Gambitron 1.2"));
    EXPECT_EQ(form->RichEdit1()->LineColor(at + 2), WinColor(LogColor::Command));
    EXPECT_EQ(lines.size(), at + 5) << "nothing else: no status line, nothing sent";
    EXPECT_FALSE(LogHas(*form, QStringLiteral("Не подключен")));
}

TEST_F(Window, TheChatLineTakesTheFocusBackFromTheWindowsOwnControls) {
    Click(form->RadioButton3);
    Click(form->Button1);
    form->activateWindow();
    form->ListView1()->setFocus();
    EXPECT_TRUE(WaitUntil([&] { return form->Edit2->hasFocus(); }));

    QLineEdit other;
    other.show();
    other.activateWindow();
    other.setFocus();
    QTest::qWait(20);
    EXPECT_EQ(QApplication::focusWidget(), &other) << "another window keeps what it took";
}

// The chat line keeps the keyboard through moves made with the mouse, and the board keeps it when reached by
// Tab, so that its cursor can play.
TEST_F(Window, TheKeyboardStaysWithTheChatLineOrTheBoardWhicheverTookIt) {
    Click(form->RadioButton3);
    Click(form->Button1);
    form->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return form->Edit2->hasFocus(); }));
    Drag(E2, E4);
    ASSERT_EQ(form->ChessBrd1->PieceAt(E4), 'P');
    QTest::qWait(20);
    EXPECT_TRUE(form->Edit2->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("gg"));
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("gg"));

    // Tab from the chat line goes round to the board: the panes made after the window come before the
    // chat line, where the form had them, and the log takes no Tab.
    QTest::keyClick(form->Edit2, Qt::Key_Tab);
    QTest::qWait(20);
    ASSERT_TRUE(form->ChessBrd1->hasFocus()) << "the chat line does not pull it back";
    // White at the bottom: Up is towards rank 8. The cursor shows on arrival by Tab, or with the first key.
    auto keyTo = [&](Square target) {
        TChessBrd& board = *form->ChessBrd1;
        if (!board.KeyboardCursorShown()) QTest::keyClick(&board, Qt::Key_Up);
        while (ChessGame::FileOf(board.KeyboardCursor()) != ChessGame::FileOf(target))
            QTest::keyClick(&board, ChessGame::FileOf(board.KeyboardCursor()) < ChessGame::FileOf(target)
                                        ? Qt::Key_Right
                                        : Qt::Key_Left);
        while (ChessGame::RankOf(board.KeyboardCursor()) != ChessGame::RankOf(target))
            QTest::keyClick(&board, ChessGame::RankOf(board.KeyboardCursor()) < ChessGame::RankOf(target)
                                        ? Qt::Key_Up
                                        : Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    };
    keyTo(E7);
    keyTo(E5);
    EXPECT_EQ(form->ChessBrd1->PieceAt(E5), 'p');
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("gg"));
}

TEST_F(Window, AMoveInANetworkGameWithoutAnOpponentStaysOnTheBoard) {
    form->SetPort(0);
    form->StartServer();
    EXPECT_TRUE(LogHas(*form, QStringLiteral("Сервер запущен")));
    EXPECT_EQ(form->ChessBrd1->GetPosition(), std::string(64, ' '));
    TypeChat(*form, QStringLiteral("есть кто?"));
    EXPECT_TRUE(LogHas(*form, QStringLiteral("есть кто?")));
}

// The way back to the control panel: asked for while a game runs, never after it has ended; the panel
// keeps the choices and the board is empty again.
TEST_F(Window, ANewGameFromTheMiddleOfAComputerGameAsksFirstAndKeepsThePanelsChoices) {
    form->ComboBox1->setCurrentIndex(0);
    form->ComboBox2->setCurrentIndex(1);
    Click(form->Button1);
    ASSERT_TRUE(WaitUntil([&] { return !Cell(*form, 0, 1).isEmpty() && !form->ComputerThinking(); }));
    EXPECT_TRUE(form->NewGameButton->isVisible());
    EXPECT_EQ(form->NewGameButton->toolTip(), QStringLiteral("Новая игра (Ctrl+N)"));

    QTest::keyClick(form.get(), Qt::Key_N, Qt::ControlModifier); // answered no
    ASSERT_EQ(harness.Dialogs.Questions.size(), 1u);
    EXPECT_EQ(harness.Dialogs.Questions[0].Caption, QStringLiteral("Новая игра"));
    EXPECT_FALSE(form->TabControl1->isVisible());
    EXPECT_TRUE(form->ChessBrd1->GetComputerPlaysWhite());

    harness.Dialogs.Answers.push_back(true);
    Click(form->NewGameButton);
    EXPECT_EQ(harness.Dialogs.Questions.size(), 2u);
    EXPECT_TRUE(form->TabControl1->isVisible());
    for (QWidget* w : std::initializer_list<QWidget*>{form->ListView1(), form->RichEdit1(), form->Edit2,
                                                      form->NewGameButton, form->ThinkingLabel})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    EXPECT_EQ(form->ChessBrd1->GetPosition(), std::string(64, ' '));
    EXPECT_FALSE(form->ChessBrd1->GetComputerPlaysWhite() || form->ChessBrd1->GetComputerPlaysBlack());
    EXPECT_FALSE(form->ChessBrd1->GetWhiteOnTop());
    EXPECT_TRUE(form->BoardPanel->isEnabled());
    EXPECT_EQ(form->LastMoveFrom, None);
    EXPECT_TRUE(form->RadioButton1->isChecked());
    EXPECT_EQ(form->ComboBox1->currentIndex(), 0);
    EXPECT_EQ(form->ComboBox2->currentIndex(), 1);

    Click(form->Button1);
    EXPECT_EQ(form->ListView1()->rowCount(), 0);
    EXPECT_TRUE(form->ChessBrd1->GetWhiteOnTop());
    EXPECT_EQ(form->ChessBrd1->GetSearchDepth(), 2);
    ASSERT_TRUE(WaitUntil([&] { return !Cell(*form, 0, 1).isEmpty(); }));
    EXPECT_TRUE(BoardMatchesMoveList(*form));
}

TEST_F(Window, AfterMateTheNewGameButtonIsTheWayOnAndAsksNothing) {
    Click(form->RadioButton3);
    form->ComboBox4->setCurrentIndex(1);
    Click(form->Button1);
    EXPECT_FALSE(form->NewGameButton->isDefault());
    for (auto [from, to] : {std::pair{F2, F3}, {E7, E5}, {G2, G4}, {D8, H4}}) Drag(from, to);
    ASSERT_FALSE(form->GameRunning());
    EXPECT_EQ(LogTexts(*form).last(), QStringLiteral("Новая игра: Ctrl+N"));
    EXPECT_EQ(LogColorOf(*form, QStringLiteral("Новая игра: Ctrl+N")), WinColor(LogColor::Status));
    EXPECT_TRUE(form->NewGameButton->isDefault());

    QTest::keyClick(form.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(harness.Dialogs.Questions.empty());
    ASSERT_TRUE(form->TabControl1->isVisible());
    EXPECT_TRUE(form->RadioButton3->isChecked());
    EXPECT_EQ(form->ComboBox4->currentIndex(), 1);
    Click(form->Button1);
    EXPECT_TRUE(form->GameRunning());
    EXPECT_FALSE(form->NewGameButton->isDefault());
    EXPECT_TRUE(form->BoardPanel->isEnabled());
    EXPECT_TRUE(form->Edit2->hasFocus()) << "the chat line keeps the keyboard";
    // Clicked, since a drop always tried the move: the last game's mate held no dragged piece still.
    for (Square q : {E2, E4}) WindowTestHarness::ClickSquare(*form->ChessBrd1, q);
    EXPECT_EQ(form->ChessBrd1->PieceAt(E4), 'P') << "the last game's mate holds no piece still";
}

TEST_F(Window, TheThinkingLineShowsWhileTheComputerSearchesAndDropsMeanwhileGetAHint) {
    Click(form->Button1);
    const QRect logPlace = form->RichEdit1()->geometry();
    EXPECT_FALSE(form->ThinkingLabel->isVisible());
    Drag(E2, E4);
    EXPECT_TRUE(form->ThinkingLabel->isVisible());
    EXPECT_EQ(form->ThinkingLabel->text(), QStringLiteral("Компьютер думает…"));
    EXPECT_EQ(form->RichEdit1()->geometry(), logPlace);
    ASSERT_TRUE(WaitUntil([&] { return !Cell(*form, 0, 2).isEmpty(); }));
    EXPECT_FALSE(form->ThinkingLabel->isVisible());

    // Deep enough to take seconds: the next drag comes while the computer thinks.
    form->ChessBrd1->SetSearchDepth(MaxSearchDepth);
    Drag(D2, D4);
    ASSERT_TRUE(WaitUntil([&] { return form->ChessBrd1->GetThinking(); }));
    const std::string before = form->ChessBrd1->GetPosition();
    Drag(G1, F3);
    EXPECT_EQ(form->ChessBrd1->GetPosition(), before);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Сейчас ход компьютера"));
    QToolTip::hideText();
    form->ChessBrd1->SetComputerPlaysBlack(false);
}

} // namespace

TEST(WindowWithoutSound, PlaysNothingWhereThereIsNoOutputDeviceAndGoesOnAsUsual) {
    WindowTestHarness harness(false);
    auto form = NewWindow();
    QTest::mouseClick(form->RadioButton3, Qt::LeftButton);
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    for (auto [from, to] : {std::pair{F2, F3}, {E7, E5}, {G2, G4}, {D8, H4}})
        WindowTestHarness::DragPiece(*form->ChessBrd1, from, to);
    EXPECT_EQ(form->ListView1()->rowCount(), 2);
    EXPECT_FALSE(form->BoardPanel->isEnabled()) << "mate still ends the game";
    EXPECT_TRUE(harness.PlayedSounds().isEmpty());
}
