// NetworkGame without a window: listening, connecting by address and by name, why an attempt failed,
// keep-alive on both ends, and playing again after a game's connection has gone.
#include "ChessBrd.h"
#include "GameDiscovery.h"
#include "NetTestSupport.h"
#include "NetworkGame.h"
#include "NetworkGameHost.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

using namespace NetTest;

namespace {

// Records what network play reports, and sets up the board as the window would.
class RecordingHost : public NetworkGameHost {
public:
    explicit RecordingHost(TChessBrd& Board) : FBoard(Board) {}
    void NetworkStatus(const QString& Text) override { Lines << Text; }
    void NetworkFailure(const QString& Text) override { Failures << Text; }
    void PeerChat(const QString& Text) override { Lines << Text; }
    void NetworkGameStarts(bool LocalWhite) override {
        Lines << (LocalWhite ? QStringLiteral("Вы играете белыми") : QStringLiteral("Вы играете черными"));
        FBoard.NewGame();
        ++Starts;
    }
    void NetworkGameEnds(const QString& Reason, const QString& Why) override {
        Lines << Reason;
        if (!Why.isEmpty()) Lines << Why;
        Lines << QStringLiteral("Игра завершена");
    }
    bool Has(const QString& Line) const { return Lines.contains(Line); }

    QStringList Lines, Failures;
    int Starts = 0;

private:
    TChessBrd& FBoard;
};

// One copy of the program's network side: a board that is never shown, the host and the game.
struct Copy {
    Copy() { board.SetPosition("init"); }
    TChessBrd board;
    RecordingHost host{board};
    GameDiscovery discovery;
    NetworkGame game{board, host, discovery};
};

quint16 UnusedPort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

int Option(QTcpSocket* Socket, int Level, int Name) {
    int value = -1;
    socklen_t length = sizeof value;
    if (getsockopt(static_cast<int>(Socket->socketDescriptor()), Level, Name, &value, &length) != 0)
        return -2;
    return value;
}

class Connection : public ::testing::Test {
protected:
    void StartServer(bool White = true) {
        ASSERT_TRUE(server.game.Listen(0, White));
        ASSERT_TRUE(server.game.ServerActive());
    }
    void ConnectClient(const QString& Address = QStringLiteral("127.0.0.1")) {
        client.game.Connect(Address, server.game.Port());
        ASSERT_TRUE(WaitUntil([&] { return client.game.CurrentPhase() == NetworkGame::Phase::Playing; }))
            << client.host.Lines.join(QLatin1Char('|')).toStdString();
        ASSERT_TRUE(WaitUntil([&] { return server.game.CurrentPhase() == NetworkGame::Phase::Playing; }));
    }

    WindowTestHarness harness;
    Copy server, client;
};

TEST_F(Connection, TheServerSaysWhereToConnect) {
    StartServer();
    const QStringList& lines = server.host.Lines;
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("Сервер запущен"));
    ASSERT_TRUE(lines[1].startsWith(QStringLiteral("Адреса: ")));
    const QStringList addresses = lines[1].mid(8).split(QStringLiteral(", "));
    EXPECT_EQ(addresses, NetworkGame::Addresses(server.game.Port()));
    for (const QString& a : addresses) {
        EXPECT_TRUE(a.endsWith(QLatin1Char(':') + QString::number(server.game.Port()))) << a.toStdString();
        EXPECT_FALSE(a.startsWith(QStringLiteral("[fe80:"))) << "link-local addresses need an interface";
    }
}

TEST_F(Connection, ConnectsByAddressOrNameOverIPv4AndIPv6) {
    StartServer();
    for (const char* address : {"localhost", "::1", "[::1]", "127.0.0.1"}) {
        Copy peer;
        peer.game.Connect(QString::fromLatin1(address), server.game.Port());
        EXPECT_TRUE(WaitUntil([&] { return peer.game.CurrentPhase() == NetworkGame::Phase::Playing; }))
            << address << ": " << peer.host.Lines.join(QLatin1Char('|')).toStdString();
        peer.game.End();
        EXPECT_TRUE(WaitUntil([&] { return server.game.Opponent() == nullptr; })) << address;
    }
    EXPECT_TRUE(server.host.Has(QStringLiteral("::1 подключился")));
    EXPECT_TRUE(server.host.Has(QStringLiteral("127.0.0.1 подключился"))) << "not as ::ffff:127.0.0.1";
}

TEST_F(Connection, AFailedAttemptSaysWhy) {
    // A listener whose queue is full takes no further connection: the attempt hears nothing back.
    const int silent = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    ASSERT_EQ(listen(silent, 0), 0);
    socklen_t length = sizeof at;
    getsockname(silent, reinterpret_cast<sockaddr*>(&at), &length);
    const quint16 silentPort = ntohs(at.sin_port);
    std::vector<std::unique_ptr<QTcpSocket>> fillers;
    for (int i = 0; i < 4; ++i) {
        fillers.push_back(std::make_unique<QTcpSocket>());
        fillers.back()->connectToHost(QHostAddress::LocalHost, silentPort);
    }
    QTest::qWait(200);

    const quint16 closed = UnusedPort();
    const struct {
        const char* Address;
        quint16 Port;
        QString Why;
    } cases[] = {
        {"127.0.0.1", closed, QStringLiteral("Отказ: на порту %1 никто не ждет подключения").arg(closed)},
        {"no-such-host.invalid", 5000, QStringLiteral("Имя не найдено: «no-such-host.invalid»")},
        {"224.0.0.1", 5000, QStringLiteral("Нет пути к 224.0.0.1: сеть или компьютер недоступны")},
        {"127.0.0.1", silentPort, QStringLiteral("Нет ответа от 127.0.0.1 за 1 с")},
    };
    for (const auto& c : cases) {
        Copy copy;
        copy.game.SetConnectTimeout(400);
        copy.game.Connect(QString::fromLatin1(c.Address), c.Port);
        ASSERT_TRUE(WaitUntil([&] { return copy.host.Has(QStringLiteral("Игра завершена")); }, 5000))
            << c.Address;
        const QStringList& lines = copy.host.Lines;
        EXPECT_EQ(lines.mid(lines.size() - 3), (QStringList{QStringLiteral("Ошибка подключения"), c.Why,
                                                            QStringLiteral("Игра завершена")}))
            << c.Address << ": " << lines.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(copy.game.Client()->state(), QAbstractSocket::UnconnectedState);
        QTest::qWait(50);
        EXPECT_EQ(lines.count(QStringLiteral("Игра завершена")), 1) << "one end, however it failed";
    }
    ::close(silent);
}

TEST_F(Connection, BothEndsProbeAQuietConnection) {
    StartServer();
    ConnectClient();
    for (QTcpSocket* end : {server.game.Opponent(), client.game.Opponent()}) {
        ASSERT_NE(end, nullptr);
        EXPECT_EQ(Option(end, SOL_SOCKET, SO_KEEPALIVE), 1);
        EXPECT_EQ(Option(end, IPPROTO_TCP, TCP_KEEPIDLE), 10);
        EXPECT_EQ(Option(end, IPPROTO_TCP, TCP_KEEPINTVL), 5);
        EXPECT_EQ(Option(end, IPPROTO_TCP, TCP_KEEPCNT), 3);
    }
}

TEST_F(Connection, TheServerDealsTheSideItWasGiven) {
    StartServer(false);
    ConnectClient();
    EXPECT_TRUE(server.host.Has(QStringLiteral("Вы играете черными")));
    EXPECT_TRUE(client.host.Has(QStringLiteral("Вы играете белыми")));
}

TEST_F(Connection, BothSidesPlayAgainAfterEitherEndsTheGame) {
    StartServer();
    ConnectClient();

    // The client leaves and comes back: the server, still listening, starts a fresh game.
    client.game.End();
    EXPECT_TRUE(client.host.Has(QStringLiteral("Соединение закрыто")));
    ASSERT_TRUE(WaitUntil([&] { return server.host.Has(QStringLiteral("Клиент отключился")); }));
    EXPECT_TRUE(server.game.ServerActive());
    ConnectClient();
    EXPECT_EQ(server.host.Starts, 2);
    EXPECT_EQ(client.host.Starts, 2);

    // The server leaves: the client hears the usual lines; listening again, the server takes it back.
    server.game.End();
    EXPECT_FALSE(server.game.ServerActive());
    ASSERT_TRUE(WaitUntil([&] { return client.host.Has(QStringLiteral("Отключен от сервера")); }));
    EXPECT_FALSE(client.game.ClientActive());
    const quint16 port = server.game.Port();
    ASSERT_TRUE(server.game.Listen(port, true));
    ConnectClient();
    EXPECT_EQ(server.host.Starts, 3);
    EXPECT_EQ(client.host.Starts, 3);
    EXPECT_EQ(server.host.Lines.count(QStringLiteral("Ошибка клиента")), 0);
    EXPECT_EQ(client.host.Lines.count(QStringLiteral("Ошибка подключения")), 0);

    // A move still travels in the new game.
    ASSERT_TRUE(server.board.MakeMove(E2, E4));
    server.game.SendLocalMove(E2, E4);
    EXPECT_TRUE(WaitUntil([&] { return client.board.PieceAt(E4) == 'P'; }));
}

} // namespace
