// Two windows of the program in one process, server and client, playing over a loopback connection.
#include "NetTestSupport.h"
#include "WinColor.h"
#include "Wire.h"

#include <QToolTip>

using namespace NetTest;

namespace {

const QColor Orange = WinColor(LogColor::WhiteMove);
const QColor Blue = WinColor(LogColor::BlackMove);
const QColor Brown = WinColor(LogColor::Command);

class NetworkGame : public ::testing::Test {
protected:
    void SetUp() override {
        server = NewServer();
        ASSERT_TRUE(server->ServerActive());
        client = Connect();
    }

    std::unique_ptr<TForm1> Connect() {
        auto form = NewClient(server->Port());
        EXPECT_TRUE(WaitUntil([&] { return form->Phase() == TForm1::NetPhase::Playing; }));
        EXPECT_TRUE(WaitUntil([&] { return server->Phase() == TForm1::NetPhase::Playing; }));
        return form;
    }

    // Plays a move on one window and waits until the other has it in its list.
    void Play(TForm1& mover, TForm1& receiver, Square from, Square to) {
        const int listed = Listed(receiver);
        WindowTestHarness::DragPiece(*mover.ChessBrd1, from, to);
        ASSERT_TRUE(WaitUntil([&] { return Listed(receiver) == listed + 1; }));
    }
    static int Listed(const TForm1& form) {
        int n = 0;
        for (int row = 0; row < form.ListView1()->rowCount(); ++row)
            n += !Cell(form, row, 1).isEmpty() + !Cell(form, row, 2).isEmpty();
        return n;
    }

    WindowTestHarness harness;
    std::unique_ptr<TForm1> server;
    std::unique_ptr<TForm1> client;
};

TEST_F(NetworkGame, TheClientConnectsAndTakesTheColourTheServerLeaves) {
    for (const char* line :
         {"Подключение...", "Подключен", "Вы играете черными", "Запуск игры...", "Игра запущена"})
        EXPECT_TRUE(LogHas(*client, QString::fromUtf8(line))) << line;
    EXPECT_TRUE(LogHas(*server, QStringLiteral("Сервер запущен")));
    EXPECT_TRUE(LogHas(*server, QStringLiteral("127.0.0.1 подключился")));
    EXPECT_TRUE(LogHas(*server, QStringLiteral("Вы играете белыми")));

    EXPECT_TRUE(server->PlayingWhite);
    EXPECT_FALSE(client->PlayingWhite);
    EXPECT_EQ(server->OwnColor, Orange);
    EXPECT_EQ(server->PeerColor, Blue);
    EXPECT_EQ(client->OwnColor, Blue);
    EXPECT_EQ(client->PeerColor, Orange);
    EXPECT_TRUE(client->ChessBrd1->GetWhiteOnTop()) << "each player's pieces at the bottom";
    EXPECT_FALSE(server->ChessBrd1->GetWhiteOnTop());
    EXPECT_TRUE(server->BoardPanel->isEnabled());
    EXPECT_FALSE(client->BoardPanel->isEnabled());
    EXPECT_EQ(client->ChessBrd1->GetPosition(), server->ChessBrd1->GetPosition());
}

TEST_F(NetworkGame, MovesTravelBothWaysAndAppearInBothLists) {
    Play(*server, *client, E2, E4);
    EXPECT_TRUE(client->BoardPanel->isEnabled());
    EXPECT_FALSE(server->BoardPanel->isEnabled());
    Play(*client, *server, E7, E5);
    Play(*server, *client, G1, F3);

    for (TForm1* form : {server.get(), client.get()}) {
        ASSERT_EQ(form->ListView1()->rowCount(), 2);
        EXPECT_EQ(Cell(*form, 0, 0), QStringLiteral("1."));
        EXPECT_EQ(Cell(*form, 0, 1), QStringLiteral("E2 - E4"));
        EXPECT_EQ(Cell(*form, 0, 2), QStringLiteral("E7 - E5"));
        EXPECT_EQ(Cell(*form, 1, 0), QStringLiteral("2."));
        EXPECT_EQ(Cell(*form, 1, 1), QStringLiteral("G1 - F3"));
        EXPECT_TRUE(BoardMatchesMoveList(*form));
        EXPECT_EQ(form->LastMoveFrom, G1);
        EXPECT_EQ(form->LastMoveTo, F3);
    }
    EXPECT_TRUE(client->BoardPanel->isEnabled());
    EXPECT_EQ(harness.PlayedSounds().count(QStringLiteral("MOVE")), 6) << "each move sounds on both sides";
}

TEST_F(NetworkGame, AMoveMadeFromTheKeyboardHandsItBackToTheChatLineForTheOpponentsTurn) {
    server->activateWindow();
    server->ChessBrd1->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(WaitUntil([&] { return server->ChessBrd1->hasFocus(); }));
    if (!server->ChessBrd1->KeyboardCursorShown()) QTest::keyClick(server->ChessBrd1, Qt::Key_Enter);
    ASSERT_EQ(server->ChessBrd1->KeyboardCursor(), E2);
    for (Qt::Key key : {Qt::Key_Enter, Qt::Key_Up, Qt::Key_Up, Qt::Key_Enter})
        QTest::keyClick(server->ChessBrd1, key);
    ASSERT_TRUE(WaitUntil([&] { return Listed(*client) == 1; }));
    EXPECT_EQ(client->ChessBrd1->PieceAt(E4), 'P');
    EXPECT_FALSE(server->BoardPanel->isEnabled());
    EXPECT_TRUE(WaitUntil([&] { return server->Edit2->hasFocus(); })) << "not lost with the board";
}

TEST_F(NetworkGame, ChatArrivesInThePeersColourWithTheChatSound) {
    const QString line = QStringLiteral("Привет! #:Move:5254 <b>не жирный</b>");
    TypeChat(*client, line);
    EXPECT_TRUE(client->Edit2->text().isEmpty());
    EXPECT_EQ(LogColorOf(*client, line), Blue);
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*server, line); }));
    EXPECT_EQ(LogColorOf(*server, line), Blue) << "the black player's lines are blue on both screens";
    EXPECT_TRUE(WaitUntil([&] { return harness.PlayedSounds().contains(QStringLiteral("CHAT")); }));
    EXPECT_EQ(server->ListView1()->rowCount(), 0) << "a move text inside chat moves nothing";

    TypeChat(*server, QStringLiteral("И тебе"));
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*client, QStringLiteral("И тебе")); }));
    EXPECT_EQ(LogColorOf(*client, QStringLiteral("И тебе")), Orange);
}

TEST_F(NetworkGame, ALongChatLineArrivesWholeAndLongWordsWrap) {
    QString line;
    for (int i = 0; line.size() < Wire::MaxChatText; ++i) line += QStringLiteral("слово%1 ").arg(i);
    line.truncate(Wire::MaxChatText);
    TypeChat(*client, line);
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*server, line); })) << "the peer sees what the sender sees";
    EXPECT_TRUE(LogHas(*client, line));
    EXPECT_EQ(server->RichEdit1()->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

TEST_F(NetworkGame, TheChatLineRefusesWhatThePeerWouldNotSee) {
    // Typed: the character never enters the line, and a grey line says why.
    client->Edit2->clear();
    for (const QString& key : {QStringLiteral("a"), QStringLiteral("☺"), QStringLiteral("b")}) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, key);
        QApplication::sendEvent(client->Edit2, &press);
    }
    EXPECT_EQ(client->Edit2->text(), QStringLiteral("ab"));
    const QString hint = QStringLiteral("Знак «☺» нельзя передать в чате: его нет в кодировке Windows-1251");
    EXPECT_EQ(LogColorOf(*client, hint), WinColor(LogColor::Status));

    // Put there by other means: refused at Enter and left for editing.
    TypeChat(*client, QStringLiteral("smile ☺"));
    EXPECT_EQ(client->Edit2->text(), QStringLiteral("smile ☺"));
    EXPECT_EQ(LogTexts(*client).last(), hint);
    EXPECT_FALSE(LogHas(*client, QStringLiteral("smile ☺")));

    // Over the limit: a paste keeps what fits and says so.
    const QString lengthHint =
        QStringLiteral("Строка чата не может быть длиннее %1 знаков").arg(Wire::MaxChatText);
    client->Edit2->clear();
    client->Edit2->insert(QString(Wire::MaxChatText + 10, QLatin1Char('z')));
    EXPECT_EQ(client->Edit2->text().size(), Wire::MaxChatText);
    EXPECT_TRUE(LogHas(*client, lengthHint));

    TypeChat(*client, QStringLiteral("после"));
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*server, QStringLiteral("после")); }));
    EXPECT_FALSE(LogTexts(*server).filter(QStringLiteral("smile")).size() > 0);
}

// The wire has no escaping: a line that ends as the sender's own move message would be played by the peer.
TEST_F(NetworkGame, AChatLineThatWouldReadAsTheSendersMoveStaysForEditing) {
    const struct {
        QString Line;
        bool Sent;
    } lines[] = {
        {QStringLiteral("смотри#:Move:5254"), false}, {QStringLiteral("#:Move:7876"), false},
        {QStringLiteral("#:Move:5254 и всё"), true},  {QStringLiteral("чужой $:Move:5254"), true},
        {QStringLiteral("не ход #:Move:5955"), true},
    };
    for (const auto& l : lines) {
        SCOPED_TRACE(l.Line.toStdString());
        TypeChat(*server, l.Line);
        EXPECT_EQ(server->Edit2->text().isEmpty(), l.Sent);
        EXPECT_EQ(LogHas(*server, l.Line), l.Sent);
        const bool hint =
            LogTexts(*server).last().startsWith(QStringLiteral("Строка чата не может кончаться"));
        EXPECT_EQ(hint, !l.Sent);
    }
    TypeChat(*server, QStringLiteral("конец"));
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*client, QStringLiteral("конец")); }));
    EXPECT_FALSE(LogHas(*client, QStringLiteral("смотри")));
    EXPECT_EQ(client->ListView1()->rowCount(), 0);
    EXPECT_EQ(client->ChessBrd1->GetPosition(), server->ChessBrd1->GetPosition());
}

TEST_F(NetworkGame, CommandsStayLocal) {
    TypeChat(*client, QStringLiteral("/help"));
    TypeChat(*client, QStringLiteral("/hello"));
    TypeChat(*client, QStringLiteral("после"));
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*server, QStringLiteral("после")); }));
    EXPECT_FALSE(LogHas(*server, QStringLiteral("/help")));
    EXPECT_FALSE(LogHas(*server, QStringLiteral("/hello")));

    const QStringList lines = LogTexts(*client);
    const int at = static_cast<int>(lines.indexOf(QStringLiteral("/help")));
    ASSERT_GE(at, 0);
    EXPECT_EQ(client->RichEdit1()->LineColor(at), Blue);
    EXPECT_TRUE(lines.value(at + 2).startsWith(QStringLiteral("Программа Gambitron позволяет играть")));
    EXPECT_EQ(client->RichEdit1()->LineColor(at + 2), Brown);
    EXPECT_TRUE(LogHas(*client, QStringLiteral("/hello")));
}

TEST_F(NetworkGame, ASecondClientIsToldTheServerIsBusyWhileTheGameGoesOn) {
    Play(*server, *client, E2, E4);
    auto third = NewClient(server->Port());
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*third, QStringLiteral("Отключен от сервера")); }));
    const QStringList lines = LogTexts(*third);
    const QStringList expected = {QStringLiteral("Подключение..."),   QStringLiteral("Подключен"),
                                  QStringLiteral("Сервер уже занят"), QStringLiteral("Отключен от сервера"),
                                  QStringLiteral("Игра завершена"),   QStringLiteral("Новая игра: Ctrl+N")};
    EXPECT_EQ(lines.mid(lines.size() - 6), expected);
    EXPECT_TRUE(LogHas(*server, QStringLiteral("Подключение от 127.0.0.1 отклонено")));
    EXPECT_EQ(third->ChessBrd1->GetPosition(), std::string(64, ' ')) << "the refused copy gets no game";

    Play(*client, *server, E7, E5);
    Play(*server, *client, D2, D4);
    EXPECT_FALSE(LogHas(*server, QStringLiteral("Клиент отключился")));
    EXPECT_FALSE(LogHas(*server, QStringLiteral("Игра завершена")));
    EXPECT_TRUE(BoardMatchesMoveList(*server));
    EXPECT_TRUE(BoardMatchesMoveList(*client));
}

TEST_F(NetworkGame, TheServersNextClientStartsAFreshGameWithTheSameColours) {
    Play(*server, *client, E2, E4);
    client.reset();
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*server, QStringLiteral("Клиент отключился")); }));
    EXPECT_TRUE(LogHas(*server, QStringLiteral("Игра завершена")));
    EXPECT_FALSE(LogHas(*server, QStringLiteral("Ошибка клиента"))) << "a normal close is no error";
    EXPECT_FALSE(server->BoardPanel->isEnabled());

    client = Connect();
    EXPECT_EQ(LogCount(*server, QStringLiteral("Вы играете белыми")), 2);
    EXPECT_EQ(server->ListView1()->rowCount(), 0);
    EXPECT_EQ(server->LastMoveFrom, None) << "no frames of the last game's move";
    EXPECT_EQ(server->LastMoveTo, None);
    EXPECT_TRUE(server->BoardPanel->isEnabled());
    EXPECT_EQ(server->ChessBrd1->GetPosition(), client->ChessBrd1->GetPosition());
    EXPECT_TRUE(server->ChessBrd1->GetWhiteToMove());
    EXPECT_TRUE(LogHas(*client, QStringLiteral("Вы играете черными")));
    Play(*server, *client, D2, D4);
    EXPECT_TRUE(BoardMatchesMoveList(*client));
}

TEST_F(NetworkGame, BothWindowsGoBackToTheirPanelsAndPlayAgain) {
    Play(*server, *client, E2, E4);
    client->ReturnToControlPanel();
    EXPECT_TRUE(client->TabControl1->isVisible());
    EXPECT_FALSE(client->Edit2->isVisible());
    EXPECT_TRUE(client->RadioButton5->isChecked()) << "the choices are kept";
    EXPECT_EQ(client->Edit1->text(), QStringLiteral("127.0.0.1"));
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*server, QStringLiteral("Клиент отключился")); }));
    QTest::mouseClick(client->Button1, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return client->Phase() == TForm1::NetPhase::Playing; }));
    ASSERT_TRUE(WaitUntil([&] { return server->ListView1()->rowCount() == 0; }));
    Play(*server, *client, D2, D4);

    server->ReturnToControlPanel();
    EXPECT_FALSE(server->ServerActive());
    ASSERT_TRUE(WaitUntil([&] { return LogCount(*client, QStringLiteral("Отключен от сервера")) == 1; }));
    EXPECT_TRUE(server->RadioButton4->isChecked());
    QTest::mouseClick(server->Button1, Qt::LeftButton);
    EXPECT_TRUE(server->ServerActive());
    client->ReturnToControlPanel();
    QTest::mouseClick(client->Button1, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return server->Phase() == TForm1::NetPhase::Playing; }));
    ASSERT_TRUE(WaitUntil([&] { return client->Phase() == TForm1::NetPhase::Playing; }));
    Play(*server, *client, C2, C4);
    EXPECT_TRUE(BoardMatchesMoveList(*client));
    EXPECT_FALSE(LogHas(*client, QStringLiteral("Ошибка подключения")));
}

TEST_F(NetworkGame, TheServerGoingAwayEndsTheClientsGame) {
    server.reset();
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*client, QStringLiteral("Отключен от сервера")); }));
    EXPECT_TRUE(LogHas(*client, QStringLiteral("Игра завершена")));
    EXPECT_FALSE(LogHas(*client, QStringLiteral("Ошибка подключения")));
    EXPECT_FALSE(client->BoardPanel->isEnabled());
    EXPECT_FALSE(client->ClientActive());
    TypeChat(*client, QStringLiteral("никого нет"));
    EXPECT_TRUE(LogHas(*client, QStringLiteral("никого нет")));
}

TEST_F(NetworkGame, AnErrorOnTheOpponentsConnectionFreesTheServerForTheNextClient) {
    Play(*server, *client, E2, E4);
    emit server->Opponent()->errorOccurred(QAbstractSocket::NetworkError);
    EXPECT_TRUE(LogHas(*server, QStringLiteral("Ошибка клиента")));
    EXPECT_TRUE(LogHas(*server, QStringLiteral("Игра завершена")));
    EXPECT_FALSE(server->BoardPanel->isEnabled());
    EXPECT_EQ(server->Opponent(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*client, QStringLiteral("Отключен от сервера")); }));

    auto next = Connect();
    EXPECT_FALSE(LogHas(*next, QStringLiteral("Сервер уже занят")));
    EXPECT_TRUE(LogHas(*next, QStringLiteral("Вы играете черными")));
    EXPECT_EQ(server->ListView1()->rowCount(), 0);
}

TEST_F(NetworkGame, AServerPlayingBlackWaitsForTheClientsFirstMove) {
    client.reset();
    server.reset();
    server = NewServer(true);
    client = Connect();
    EXPECT_FALSE(server->PlayingWhite);
    EXPECT_TRUE(server->ChessBrd1->GetWhiteOnTop());
    EXPECT_FALSE(server->BoardPanel->isEnabled());
    EXPECT_TRUE(client->PlayingWhite);
    EXPECT_TRUE(client->BoardPanel->isEnabled());
    Play(*client, *server, E2, E4);
    EXPECT_TRUE(server->BoardPanel->isEnabled());
    Play(*server, *client, C7, C5);
    EXPECT_TRUE(BoardMatchesMoveList(*client));
}

TEST_F(NetworkGame, MateEndsTheGameOnBothBoardsAndChatGoesOn) {
    Play(*server, *client, F2, F3);
    Play(*client, *server, E7, E5);
    Play(*server, *client, G2, G4);
    Play(*client, *server, D8, H4);
    for (TForm1* form : {server.get(), client.get()}) {
        EXPECT_TRUE(LogHas(*form, QStringLiteral("Черные ставят мат!")));
        EXPECT_TRUE(LogHas(*form, QStringLiteral("Игра завершена")));
        EXPECT_FALSE(form->BoardPanel->isEnabled());
        EXPECT_EQ(form->Phase(), TForm1::NetPhase::Over);
    }
    EXPECT_EQ(harness.PlayedSounds().count(QStringLiteral("MATE")), 2);
    TypeChat(*server, QStringLiteral("Поздравляю"));
    EXPECT_TRUE(WaitUntil([&] { return LogHas(*client, QStringLiteral("Поздравляю")); }));
}

// A new game on the client closes its connection: the server reports it as any departure and takes the
// next opponent, who may be the same window, back from its control panel.
TEST_F(NetworkGame, ANewGameOnTheClientEndsTheConnectionAndTheServerTakesItsNextOpponent) {
    Play(*server, *client, E2, E4);
    harness.Dialogs.Answers.push_back(true);
    client->NewGameButton->click();
    ASSERT_EQ(harness.Dialogs.Questions.size(), 1u);
    EXPECT_TRUE(harness.Dialogs.Questions[0].Text.contains(QStringLiteral("Соединение")));
    EXPECT_TRUE(client->TabControl1->isVisible());
    EXPECT_FALSE(client->ClientActive());
    EXPECT_TRUE(client->RadioButton5->isChecked());
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*server, QStringLiteral("Клиент отключился")); }));
    EXPECT_TRUE(LogHas(*server, QStringLiteral("Новая игра: Ctrl+N")));
    EXPECT_FALSE(server->BoardPanel->isEnabled());
    EXPECT_FALSE(LogHas(*client, QStringLiteral("Отключен от сервера"))) << "leaving is no loss";

    QTest::mouseClick(client->Button1, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return client->Phase() == TForm1::NetPhase::Playing; }));
    ASSERT_TRUE(WaitUntil([&] { return LogCount(*server, QStringLiteral("Вы играете белыми")) == 2; }));
    EXPECT_EQ(client->ListView1()->rowCount(), 0);
    Play(*server, *client, D2, D4);
    EXPECT_TRUE(BoardMatchesMoveList(*client));
}

// A new game on the server closes the connection and stops listening until the panel starts it again.
TEST_F(NetworkGame, ANewGameOnTheServerEndsTheConnectionAndStopsListening) {
    Play(*server, *client, E2, E4);
    const quint16 port = server->Port();
    harness.Dialogs.Answers.push_back(true);
    server->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(server.get()));
    QTest::keyClick(server.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(server->TabControl1->isVisible());
    EXPECT_FALSE(server->ServerActive());
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*client, QStringLiteral("Отключен от сервера")); }));
    EXPECT_TRUE(LogHas(*client, QStringLiteral("Игра завершена")));
    EXPECT_FALSE(client->BoardPanel->isEnabled());

    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHost, port);
    EXPECT_FALSE(probe.waitForConnected(2000)) << "nobody listens while the panel is shown";

    QTest::mouseClick(server->Button1, Qt::LeftButton);
    ASSERT_TRUE(server->ServerActive());
    auto next = Connect();
    EXPECT_EQ(server->ListView1()->rowCount(), 0);
    Play(*server, *next, D2, D4);
    EXPECT_TRUE(BoardMatchesMoveList(*next));
}

TEST_F(NetworkGame, OnlyAClickBegunOnTheOpponentsTurnGetsAHint) {
    // The click that plays a move by clicking ends on the opponent's turn; its release is no attempt.
    const struct {
        const char* Name;
        TForm1* Form;
        Square At;
        bool Hint;
    } clicks[] = {
        {"on the opponent's turn", client.get(), E7, true},
        {"picking a piece up on one's own turn", server.get(), E2, false},
        {"putting it down, which plays the move", server.get(), E4, false},
        {"after that move, on the opponent's turn", server.get(), D2, true},
    };
    for (const auto& click : clicks) {
        SCOPED_TRACE(click.Name);
        QToolTip::hideText();
        WindowTestHarness::ClickSquare(*click.Form->ChessBrd1, click.At);
        if (click.Hint) {
            EXPECT_TRUE(WaitUntil([] { return QToolTip::isVisible(); }));
            EXPECT_EQ(QToolTip::text(), QStringLiteral("Сейчас ход соперника"));
        } else {
            QTest::qWait(100);
            EXPECT_FALSE(QToolTip::isVisible());
        }
    }
    EXPECT_EQ(server->ChessBrd1->PieceAt(E4), 'P');
    QToolTip::hideText();
}

TEST(NetworkStart, ListeningOnAPortInUseShowsAMessageNamingThePort) {
    WindowTestHarness harness;
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::AnyIPv4, 0));
    auto form = NewWindow();
    form->SetPort(occupant.serverPort());
    form->StartServer();
    ASSERT_EQ(harness.Dialogs.Messages.size(), 1u);
    EXPECT_TRUE(harness.Dialogs.Messages[0].Text.contains(QString::number(occupant.serverPort())));
    EXPECT_FALSE(form->ServerActive());
    EXPECT_TRUE(LogHas(*form, QStringLiteral("Запуск сервера...")));
    EXPECT_FALSE(LogHas(*form, QStringLiteral("Сервер запущен")));
    EXPECT_TRUE(LogHas(*form, QStringLiteral("Новая игра: Ctrl+N"))) << "the way back to the panel";
}

TEST(NetworkStart, ConnectingWhereNobodyListensEndsWithAnError) {
    WindowTestHarness harness;
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    auto form = NewClient(port);
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*form, QStringLiteral("Ошибка подключения")); }));
    EXPECT_TRUE(LogHas(*form, QStringLiteral("Подключение...")));
    EXPECT_TRUE(LogHas(*form, QStringLiteral("Игра завершена")));
    EXPECT_FALSE(form->BoardPanel->isEnabled());
    EXPECT_FALSE(form->ClientActive());
}

TEST(NetworkStart, AnAddressThatIsNoIPv4AddressIsNeverLookedUp) {
    WindowTestHarness harness;
    for (const char* address : {"", "1.2.3.4.5", "300.1.1.1", "..."}) {
        auto form = NewWindow();
        form->StartClient(QString::fromLatin1(address));
        EXPECT_TRUE(LogHas(*form, QStringLiteral("Ошибка подключения"))) << address;
        EXPECT_EQ(form->ClientSocket1()->state(), QAbstractSocket::UnconnectedState) << address;
    }
}

} // namespace
