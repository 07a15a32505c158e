// A peer that does not play by the rules, as a raw socket against each role. Whatever it sends, the window
// must not crash, the game must stay whole, and nothing may reach the board that the local player did
// not do or the rules refuse.
#include "NetTestSupport.h"
#include "WinColor.h"
#include "Wire.h"

#include <QRandomGenerator>

using namespace NetTest;

namespace {

// What both roles' tests share: the window under test, the raw peer, and marks that show when the window
// has handled everything sent before them.
class HostilePeer : public ::testing::Test {
protected:
    // Sends Bytes, then a chat line in the same write; the chat shows once everything before it is handled.
    void SendThenMark(const QByteArray& Bytes) {
        const QString mark = QStringLiteral("mark%1").arg(++marks);
        Write(*peerSocket, Bytes + chatHeader + mark.toLatin1());
        ASSERT_TRUE(WaitUntil([&] { return LogHas(*window, mark); })) << Bytes.left(40).toStdString();
    }
    // After junk whose end may join the next write: repeats a mark until one arrives in a read of its own.
    void MarkEventually() {
        const QString mark = QStringLiteral("mark%1").arg(++marks);
        ASSERT_TRUE(WaitUntil([&] {
            Write(*peerSocket, chatHeader + mark.toLatin1());
            QTest::qWait(20);
            return LogTexts(*window).filter(mark).size() > 0;
        }));
    }

    WindowTestHarness harness;
    TForm1* window = nullptr;
    QTcpSocket* peerSocket = nullptr;
    QByteArray chatHeader;
    QByteArray received;
    int marks = 0;
};

// The server window against a raw client. The server plays white.
class HostileClient : public HostilePeer {
protected:
    void SetUp() override {
        server = NewServer();
        ASSERT_TRUE(server->ServerActive());
        peer.connectToHost(QHostAddress::LocalHost, server->Port());
        ASSERT_TRUE(WaitUntil([&] { return server->Phase() == TForm1::NetPhase::Playing; }));
        ReadUntil(peer, "#:Side:White", received);
        window = server.get();
        peerSocket = &peer;
        chatHeader = "$:Chat:";
    }
    void ServerPlays(Square from, Square to) {
        WindowTestHarness::DragPiece(*server->ChessBrd1, from, to);
        ReadUntil(peer, Wire::MoveMessage(true, from, to), received);
    }

    std::unique_ptr<TForm1> server;
    QTcpSocket peer;
};

TEST_F(HostileClient, CannotPlayTheServersMoves) {
    SendThenMark("$:Move:5254");
    EXPECT_EQ(server->ListView1()->rowCount(), 0);
    EXPECT_EQ(server->ChessBrd1->PieceAt(E2), 'P');

    ServerPlays(E2, E4);
    SendThenMark("$:Move:5755$:Move:4746");
    EXPECT_EQ(server->ChessBrd1->PieceAt(E5), 'p');
    EXPECT_EQ(server->ChessBrd1->PieceAt(D7), 'p') << "the second black move was out of turn";
    EXPECT_TRUE(BoardMatchesMoveList(*server));
    SendThenMark("$:Move:7163");
    EXPECT_EQ(server->ChessBrd1->PieceAt(G1), 'N') << "a white move sent by the black player";
    EXPECT_FALSE(received.contains("#:Move:7163")) << "nothing is sent back";
}

TEST_F(HostileClient, MalformedMovesNeverReachTheBoard) {
    ServerPlays(E2, E4);
    const std::string before = server->ChessBrd1->GetPosition();
    for (const char* bad : {"$:Move:e7e5", "$:Move:0755", "$:Move:5705", "$:Move:9755", "$:Move:5795",
                            "$:Move:57-5", "$:Move:5758", "$:Move:5757"})
        SendThenMark(bad);
    EXPECT_EQ(server->ChessBrd1->GetPosition(), before);
    EXPECT_EQ(server->ListView1()->rowCount(), 1);
    EXPECT_TRUE(server->BoardPanel->isEnabled() == false) << "still the opponent's turn";
    SendThenMark("$:Move:5755");
    EXPECT_EQ(server->ChessBrd1->PieceAt(E5), 'p') << "the game goes on after the junk";
    EXPECT_TRUE(BoardMatchesMoveList(*server));
}

TEST_F(HostileClient, UnknownTagsAndTheServersOwnMessagesAreIgnored) {
    ServerPlays(E2, E4);
    server->ReceiveFromOpponent("$:Xyzw:5755");
    server->ReceiveFromOpponent("$:Side:White");
    server->ReceiveFromOpponent("#:Move:5755");
    server->ReceiveFromOpponent("#:Chat:not from a client");
    server->ReceiveFromOpponent("#:Busy");
    server->ReceiveFromOpponent("$:move:5755");
    server->ReceiveFromOpponent(QByteArray("\0\0\0\0\0\0\0\0\0\0\0", 11));
    EXPECT_EQ(server->ListView1()->rowCount(), 1);
    EXPECT_FALSE(LogHas(*server, QStringLiteral("not from a client")));
    EXPECT_FALSE(LogHas(*server, QStringLiteral("Сервер уже занят")));
    EXPECT_TRUE(server->PlayingWhite);
    EXPECT_TRUE(BoardMatchesMoveList(*server));
}

TEST_F(HostileClient, MergedAndSplitMessagesAreCutAtTheirKnownLengths) {
    ServerPlays(E2, E4);
    Write(peer, "$:Move:5755$:Chat:merged");
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*server, QStringLiteral("merged")); }));
    EXPECT_EQ(server->ChessBrd1->PieceAt(E5), 'p');

    ServerPlays(G1, F3);
    for (const char* part : {"$:Mo", "ve:", "28", "36"}) {
        Write(peer, part);
        QTest::qWait(20);
    }
    ASSERT_TRUE(WaitUntil([&] { return server->ChessBrd1->PieceAt(C6) == 'n'; }));
    EXPECT_TRUE(BoardMatchesMoveList(*server));
}

TEST_F(HostileClient, AChatLineAndTheMoveAfterItInOneReadAreBothHandled) {
    ServerPlays(E2, E4);
    Write(peer, "$:Chat:hi there$:Move:2836");
    ASSERT_TRUE(WaitUntil([&] { return server->ChessBrd1->PieceAt(C6) == 'n'; }));
    EXPECT_TRUE(LogHas(*server, QStringLiteral("hi there")));
    EXPECT_EQ(Cell(*server, 0, 2), QStringLiteral("B8 - C6"));
    EXPECT_TRUE(server->BoardPanel->isEnabled());

    // Where the move's letters are no move the game can take, they are the peer's own words.
    Write(peer, "$:Chat:not yours$:Move:5755");
    EXPECT_TRUE(WaitUntil([&] { return LogHas(*server, QStringLiteral("not yours$:Move:5755")); }));
    ServerPlays(D2, D4);
    Write(peer, "$:Chat:no such move$:Move:5735");
    EXPECT_TRUE(WaitUntil([&] { return LogHas(*server, QStringLiteral("no such move$:Move:5735")); }));
    Write(peer, "$:Chat:other mark#:Move:5755");
    EXPECT_TRUE(WaitUntil([&] { return LogHas(*server, QStringLiteral("other mark#:Move:5755")); }));
    EXPECT_EQ(server->ChessBrd1->PieceAt(E7), 'p');
    EXPECT_TRUE(BoardMatchesMoveList(*server));
}

TEST_F(HostileClient, ARefusedMoveIsReportedInsteadOfVanishing) {
    SendThenMark("$:Move:5755");
    EXPECT_TRUE(LogHas(*server, QStringLiteral("Ход соперника E7 - E5 отклонен: сейчас не его ход")));
    ServerPlays(E2, E4);
    SendThenMark("$:Move:5753");
    EXPECT_TRUE(LogHas(*server, QStringLiteral("Ход соперника E7 - E3 отклонен: ход невозможен")));
    SendThenMark("$:Move:57x5");
    EXPECT_TRUE(LogHas(*server, QStringLiteral("Ход соперника отклонен: неверная запись хода")));
    EXPECT_EQ(LogColorOf(*server, QStringLiteral("Ход соперника E7 - E3 отклонен: ход невозможен")),
              WinColor(LogColor::Status));
    EXPECT_TRUE(BoardMatchesMoveList(*server));
}

TEST_F(HostileClient, AChatLineOverTheLimitIsCutVisibly) {
    QByteArray line = "$:Chat:";
    line += QByteArray(Wire::MaxChatText + 500, 'x');
    Write(peer, line);
    ASSERT_TRUE(WaitUntil([&] { return !LogTexts(*server).filter(QStringLiteral("xxx")).isEmpty(); }));
    const QStringList texts = LogTexts(*server);
    const auto shown =
        std::find_if(texts.begin(), texts.end(), [](const QString& t) { return t.startsWith('x'); });
    ASSERT_NE(shown, texts.end());
    EXPECT_EQ(shown->size(), Wire::MaxChatText);
    EXPECT_TRUE(shown->endsWith(QStringLiteral("x…")));
}

TEST_F(HostileClient, AMegabyteChatLineNeitherBlocksNorCrashes) {
    ServerPlays(E2, E4);
    QByteArray flood = "$:Chat:";
    flood += QByteArray(1 << 20, '\xE0');
    Write(peer, flood);
    ASSERT_TRUE(WaitUntil([&] {
        for (const QString& line : LogTexts(*server))
            if (line.startsWith(QStringLiteral("аааа"))) return true;
        return false;
    }));
    for (const QString& line : LogTexts(*server)) EXPECT_LE(line.size(), 4000);
    EXPECT_LE(harness.PlayedSounds().count(QStringLiteral("CHAT")), 1);

    // The rest of the line trails in later reads; a move sent after it is played once it arrives whole.
    // Sending it again is harmless, since a repeat is out of turn.
    ASSERT_TRUE(WaitUntil([&] {
        Write(peer, "$:Move:5755");
        QTest::qWait(20);
        return server->ChessBrd1->PieceAt(E5) == 'p';
    }));
    EXPECT_TRUE(BoardMatchesMoveList(*server));
    EXPECT_EQ(server->ListView1()->rowCount(), 1);
}

TEST_F(HostileClient, AChatFloodGivesOneSoundPerBurst) {
    for (int i = 0; i < 2000; ++i) Write(peer, "$:Chat:flood " + QByteArray::number(i));
    MarkEventually();
    EXPECT_LE(harness.PlayedSounds().count(QStringLiteral("CHAT")), 2) << "one, unless the flood paused";
    EXPECT_LE(server->RichEdit1()->LineCount(), 5000 + 3);
}

TEST_F(HostileClient, RandomBytesLeaveTheGameWhole) {
    ServerPlays(E2, E4);
    QRandomGenerator random(20261208);
    for (int i = 0; i < 200; ++i) {
        QByteArray junk(1 + random.bounded(600), '\0');
        for (char& c : junk) c = static_cast<char>(random.bounded(256));
        // Now and then a plausible start, so that the reader's holding paths are taken too.
        if (i % 7 == 0) junk.prepend(i % 2 ? "$:Move:" : "$:Mo");
        Write(peer, junk);
    }
    MarkEventually();
    EXPECT_TRUE(BoardMatchesMoveList(*server));
    EXPECT_LE(server->ListView1()->rowCount(), 1);
    EXPECT_EQ(server->ChessBrd1->PieceAt(E4), 'P');
}

TEST_F(HostileClient, AMoveArrivingInTheMiddleOfTheServersMoveWaitsForIt) {
    // The peer's reply is on the wire while the server's own move is still being carried out; the legal-
    // move handler processes window messages, which must not start the reply inside that move.
    bool injected = false;
    bool heldDuringMove = false;
    const TMoveEvent original = server->ChessBrd1->OnLegalMove;
    server->ChessBrd1->OnLegalMove = [&](ChessGame* sender, Square from, Square to) {
        if (!injected) {
            injected = true;
            Write(peer, "$:Move:5755");
            original(sender, from, to);
            heldDuringMove = server->HoldingNetworkWork();
            EXPECT_EQ(server->ChessBrd1->PieceAt(E7), 'p') << "the reply ran inside the move";
            return;
        }
        original(sender, from, to);
    };
    WindowTestHarness::DragPiece(*server->ChessBrd1, E2, E4);
    ASSERT_TRUE(WaitUntil([&] { return server->ChessBrd1->PieceAt(E5) == 'p'; }));
    EXPECT_TRUE(heldDuringMove);
    ReadUntil(peer, "#:Move:5254", received);
    EXPECT_TRUE(received.contains("#:Move:5254")) << "the server's move reached its opponent";
    EXPECT_EQ(Cell(*server, 0, 1), QStringLiteral("E2 - E4"));
    EXPECT_EQ(Cell(*server, 0, 2), QStringLiteral("E7 - E5"));
    EXPECT_TRUE(BoardMatchesMoveList(*server));
    EXPECT_TRUE(server->BoardPanel->isEnabled());
}

TEST_F(HostileClient, EachMessageIsWrittenOutAtOnce) {
    // Written out before the handler returns, so that two messages of one turn of the event loop do not
    // leave together for a peer that reads one message per read.
    TypeChat(*server, QStringLiteral("раз"));
    EXPECT_EQ(server->Opponent()->bytesToWrite(), 0);
    TypeChat(*server, QStringLiteral("два"));
    EXPECT_EQ(server->Opponent()->bytesToWrite(), 0);
    ReadUntil(peer, "#:Chat:\xE4\xE2\xE0", received);
    EXPECT_EQ(received, QByteArray("#:Side:White#:Chat:\xF0\xE0\xE7#:Chat:\xE4\xE2\xE0"))
        << "the bytes exactly as sent, nothing added";
}

TEST_F(HostileClient, LinesTypedInQuickSuccessionLeaveInTheirOrder) {
    // The second line is typed while the first is being handled.
    server->Edit2->setText(QStringLiteral("first"));
    for (QChar c : QStringLiteral("second"))
        QCoreApplication::postEvent(server->Edit2,
                                    new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, QString(c)));
    QCoreApplication::postEvent(server->Edit2,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
    QTest::keyClick(server->Edit2, Qt::Key_Return);
    ReadUntil(peer, "#:Chat:second", received);
    EXPECT_EQ(received, QByteArray("#:Side:White#:Chat:first#:Chat:second"));
    EXPECT_EQ(LogTexts(*server).mid(LogTexts(*server).size() - 2), QStringList({"first", "second"}));
}

// The client window against a raw server.
class HostileServer : public HostilePeer {
protected:
    void SetUp() override {
        ASSERT_TRUE(listener.listen(QHostAddress::LocalHost, 0));
        client = NewClient(listener.serverPort());
        ASSERT_TRUE(WaitUntil([&] { return listener.hasPendingConnections(); }));
        peer.reset(listener.nextPendingConnection());
        ASSERT_TRUE(WaitUntil([&] { return client->Phase() == TForm1::NetPhase::WaitingForSide; }));
        window = client.get();
        peerSocket = peer.get();
        chatHeader = "#:Chat:";
    }

    QTcpServer listener;
    std::unique_ptr<TForm1> client;
    std::unique_ptr<QTcpSocket> peer;
};

TEST_F(HostileServer, NoMoveCountsBeforeTheSide) {
    SendThenMark("#:Move:5254");
    EXPECT_EQ(client->ListView1()->rowCount(), 0);
    EXPECT_EQ(client->ChessBrd1->GetPosition(), std::string(64, ' '));
}

TEST_F(HostileServer, ARepeatedSideMessageDoesNotRestartTheGame) {
    SendThenMark("#:Side:White#:Move:5254");
    EXPECT_FALSE(client->PlayingWhite);
    EXPECT_EQ(client->ChessBrd1->PieceAt(E4), 'P');
    SendThenMark("#:Side:Black");
    SendThenMark("#:Side:White");
    EXPECT_FALSE(client->PlayingWhite);
    EXPECT_EQ(LogCount(*client, QStringLiteral("Игра запущена")), 1);
    EXPECT_EQ(client->ListView1()->rowCount(), 1);
    EXPECT_EQ(client->ChessBrd1->PieceAt(E4), 'P');
    EXPECT_TRUE(client->BoardPanel->isEnabled());
}

TEST_F(HostileServer, CannotPlayTheClientsMoves) {
    SendThenMark("#:Side:White#:Move:5254");
    SendThenMark("#:Move:5755");
    EXPECT_EQ(client->ChessBrd1->PieceAt(E7), 'p');
    EXPECT_EQ(client->ListView1()->rowCount(), 1);
    received += peer->readAll();
    EXPECT_TRUE(received.isEmpty()) << "nothing is sent back";

    WindowTestHarness::DragPiece(*client->ChessBrd1, C7, C5);
    ReadUntil(*peer, "$:Move:3735", received);
    EXPECT_EQ(received, QByteArray("$:Move:3735"));
    EXPECT_TRUE(BoardMatchesMoveList(*client));
}

TEST_F(HostileServer, AClientPlayingWhiteIgnoresAMoveMadeForIt) {
    SendThenMark("#:Side:Black#:Move:5254");
    EXPECT_TRUE(client->PlayingWhite);
    EXPECT_EQ(client->ChessBrd1->PieceAt(E2), 'P');
    EXPECT_EQ(client->ListView1()->rowCount(), 0);
}

TEST_F(HostileServer, AnOddSidePayloadGivesTheClientWhite) {
    Write(*peer, "#:Side:Green");
    ASSERT_TRUE(WaitUntil([&] { return client->Phase() == TForm1::NetPhase::Playing; }));
    EXPECT_TRUE(client->PlayingWhite);
    EXPECT_TRUE(client->BoardPanel->isEnabled());
}

TEST_F(HostileServer, BusyIsReportedOnlyAsItsOwnMessage) {
    SendThenMark("#:Busy");
    EXPECT_EQ(LogCount(*client, QStringLiteral("Сервер уже занят")), 1);
    peer->close();
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*client, QStringLiteral("Отключен от сервера")); }));
    EXPECT_FALSE(LogHas(*client, QStringLiteral("Ошибка подключения")));
}

TEST_F(HostileServer, TheClientSendsEachMessageWithoutWaitingForTheLastOne) {
    // Small writes held back until the previous one is acknowledged would leave together with the next.
    EXPECT_EQ(client->ClientSocket1()->socketOption(QAbstractSocket::LowDelayOption).toInt(), 1);
}

TEST_F(HostileServer, RandomBytesLeaveTheGameWhole) {
    SendThenMark("#:Side:White");
    QRandomGenerator random(1208);
    for (int i = 0; i < 200; ++i) {
        QByteArray junk(1 + random.bounded(600), '\0');
        for (char& c : junk) c = static_cast<char>(random.bounded(256));
        if (i % 5 == 0) junk.prepend(i % 2 ? "#:Side:" : "#:Move:5");
        Write(*peer, junk);
    }
    MarkEventually();
    EXPECT_FALSE(client->PlayingWhite);
    EXPECT_EQ(LogCount(*client, QStringLiteral("Игра запущена")), 1);
    EXPECT_TRUE(BoardMatchesMoveList(*client));
    EXPECT_EQ(client->ListView1()->rowCount(), 0);
}

} // namespace
