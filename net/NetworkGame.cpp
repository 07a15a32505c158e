// Network play: listening and accepting, connecting, the wire messages in both directions.
#include "NetworkGame.h"

#include "ChessBrd.h"
#include "GameDiscovery.h"
#include "GameMessages.h"
#include "NetworkGameHost.h"
#include "USock.h"
#include "Wire.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTcpServer>
#include <QTcpSocket>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <exception>
#include <utility>

// An IPv4 peer of the dual-stack server shows as ::ffff:a.b.c.d; people know it as a.b.c.d.
QString NetworkGame::Readable(const QHostAddress& Address) {
    bool mapped = false;
    const quint32 v4 = Address.toIPv4Address(&mapped);
    return mapped ? QHostAddress(v4).toString() : Address.toString();
}

NetworkGame::NetworkGame(TChessBrd& Board, NetworkGameHost& Host, GameDiscovery& Discovery, QObject* parent)
    : QObject(parent), FBoard(Board), FHost(Host), FDiscovery(Discovery) {
    connect(&FDiscovery, &GameDiscovery::GamesChanged, this, [this] {
        if (!FAwaitedGame.isEmpty()) LookForGame();
    });
    FConnectTimer.setSingleShot(true);
    connect(&FConnectTimer, &QTimer::timeout, this, [this] {
        Deliver([this, n = FAttempt] {
            if (n != FAttempt || FClientActive) return;
            if (!FAwaitedGame.isEmpty()) {
                FAwaitedGame.clear();
                ConnectError(QAbstractSocket::HostNotFoundError);
            } else {
                GiveUpConnecting();
            }
        });
    });
}

// Made when network play first needs them: Qt's socket layer is a good part of the start, and most
// starts never play over the network.
void NetworkGame::MakeSockets() {
    if (FServer) return;
    FServer = new QTcpServer(this);
    FServer->setListenBacklogSize(5);
    connect(FServer, &QTcpServer::newConnection, this, &NetworkGame::Accept);
    FClient = new QTcpSocket(this);
    // Each report is tied to the attempt it belongs to, read when it is made, not when its work runs.
    connect(FClient, &QAbstractSocket::stateChanged, this, [this](QAbstractSocket::SocketState s) {
        if (s == QAbstractSocket::ConnectingState)
            Deliver([this, n = FAttempt] {
                if (n == FAttempt) Connecting();
            });
    });
    connect(FClient, &QAbstractSocket::connected, this, [this] {
        Deliver([this, n = FAttempt] {
            if (n == FAttempt) Connected();
        });
    });
    connect(FClient, &QIODevice::readyRead, this, [this] {
        Deliver([this, n = FAttempt] {
            if (n == FAttempt) Read();
        });
    });
    connect(FClient, &QAbstractSocket::disconnected, this, [this] {
        Deliver([this, n = FAttempt] {
            if (n == FAttempt) Disconnected();
        });
    });
    connect(FClient, &QAbstractSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        Deliver([this, e, n = FAttempt] {
            if (n == FAttempt) ConnectError(e);
        });
    });
}

QTcpSocket* NetworkGame::Client() {
    MakeSockets();
    return FClient;
}

// The sockets are children of this object and go with it; none of their signals may reach it meanwhile.
NetworkGame::~NetworkGame() {
    FConnectTimer.stop();
    if (!FServer) return;
    FClient->disconnect(this);
    FServer->disconnect(this);
    for (QTcpSocket* s : FServer->findChildren<QTcpSocket*>()) s->disconnect(this);
    delete FClient;
    delete FServer;
}

// Network work waits for the move in progress and for the work that arrived before it, so that messages
// keep their order and one never runs inside another.
void NetworkGame::Deliver(std::function<void()> Work) {
    FBoard.AfterMove([Work = std::move(Work)] { RunWork(Work); });
}

// The work runs inside Qt's signal handlers, which no exception may leave: work that cannot complete
// (memory exhausted by a peer's flood, say) is dropped.
void NetworkGame::RunWork(const std::function<void()>& Work) {
    try {
        Work();
    } catch (const std::exception& e) {
        qWarning("gambitron: network work dropped: %s", e.what());
    }
}

QTcpSocket* NetworkGame::Opponent() const {
    if (FServerActive) return FOpponent;
    return FClientActive ? FClient : nullptr;
}

QString NetworkGame::OpponentAddress() const {
    const QTcpSocket* peer = Opponent();
    return peer ? Readable(peer->peerAddress()) : QString();
}

QString NetworkGame::LocalIPv4Addresses() const {
    return GetLocalIPAddresses();
}

extern "C" Q_DECL_EXPORT NetworkPlay* GambitronMakeNetworkPlay(TChessBrd& Board, NetworkGameHost& Host,
                                                               GameDiscovery& Discovery, QObject* Parent) {
    return new NetworkGame(Board, Host, Discovery, Parent);
}

void NetworkGame::Send(QTcpSocket* Socket, const QByteArray& Message) {
    if (!Socket || Socket->state() != QAbstractSocket::ConnectedState) return;
    Socket->write(Message);
    // Written out now, so that each message leaves on its own instead of joining the next one.
    Socket->flush();
}

bool NetworkGame::Listen(quint16 Port, bool ServerWhite) {
    FServerWhite = ServerWhite;
    MakeSockets();
    if (!FServer->listen(QHostAddress::Any, Port)) {
        QString reason;
        switch (FServer->serverError()) {
        case QAbstractSocket::AddressInUseError:
            reason = tr("порт уже занят другой программой");
            break;
        case QAbstractSocket::SocketAccessError:
            reason = tr("нет прав на этот порт");
            break;
        default:
            reason = FServer->errorString();
            break;
        }
        FHost.NetworkFailure(tr("Не удалось запустить сервер на порту %1: %2.").arg(Port).arg(reason));
        return false;
    }
    FServerActive = true;
    FPort = FServer->serverPort();
    FHost.NetworkStatus(tr("Сервер запущен"));
    FHost.NetworkStatus(tr("Адреса: %1").arg(Addresses(FPort).join(QStringLiteral(", "))));
    FDiscovery.Publish(FPort, ServerWhite);
    return true;
}

QStringList NetworkGame::Addresses(quint16 Port) {
    QStringList addresses, loopback;
    for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
        // A link-local IPv6 address needs its interface named to be of use; nobody reads that out.
        if (a.protocol() == QAbstractSocket::IPv6Protocol && a.isLinkLocal()) continue;
        const QString text = a.protocol() == QAbstractSocket::IPv6Protocol
                                 ? QStringLiteral("[%1]:%2").arg(a.toString()).arg(Port)
                                 : QStringLiteral("%1:%2").arg(a.toString()).arg(Port);
        (a.isLoopback() ? loopback : addresses) << text;
    }
    return addresses.isEmpty() ? loopback : addresses;
}

bool NetworkGame::EnableKeepAlive(QTcpSocket* Socket) {
    const int fd = static_cast<int>(Socket->socketDescriptor());
    if (fd < 0) return false;
    const int on = 1, idle = 10, interval = 5, count = 3;
    // Unacknowledged data is given up on as soon: keep-alive does not probe while data waits.
    const unsigned int userTimeoutMs = 20000;
    return setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) == 0 &&
           setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle) == 0 &&
           setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval) == 0 &&
           setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count) == 0 &&
           setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &userTimeoutMs, sizeof userTimeoutMs) == 0;
}

void NetworkGame::Connect(const QString& Address, quint16 Port) {
    ++FAttempt;
    FPort = Port;
    FClientActive = false;
    FPhase = Phase::Idle;
    FReader.Clear();
    AbortClient();
    FAwaitedGame.clear();
    FAddress = Address.trimmed();
    FConnectTimer.start(FConnectTimeoutMs);
    // A game found on the network is known by its name, which no host name can be: it has blanks.
    if (GameDiscovery::Game game; FDiscovery.Find(FAddress, game)) {
        ConnectTo(game.Address, game.Port);
        return;
    }
    static const QRegularExpression hostName(QStringLiteral("^[0-9A-Za-z.:\\-\\[\\]%_]*$"));
    if (!FAddress.isEmpty() && !hostName.match(FAddress).hasMatch()) {
        FAwaitedGame = FAddress;
        FHost.NetworkStatus(tr("Поиск игры «%1»...").arg(FAddress));
        return;
    }
    ConnectTo(FAddress, Port);
}

void NetworkGame::LookForGame() {
    GameDiscovery::Game game;
    if (!FDiscovery.Find(FAwaitedGame, game)) return;
    FAwaitedGame.clear();
    ConnectTo(game.Address, game.Port);
}

void NetworkGame::ConnectTo(const QString& Address, quint16 Port) {
    FPort = Port;
    FAddress = Address;
    if (FAddress.startsWith(QLatin1Char('[')) && FAddress.endsWith(QLatin1Char(']')))
        FAddress = FAddress.mid(1, FAddress.size() - 2);
    // Digits and dots are meant as an IPv4 address, never as a name to look up.
    static const QRegularExpression numeric(QStringLiteral("^[0-9.]*$"));
    QHostAddress host;
    const bool literal = host.setAddress(FAddress);
    if (FAddress.isEmpty() || (!literal && numeric.match(FAddress).hasMatch())) {
        FConnectTimer.stop();
        FHost.NetworkStatus(tr("Подключение..."));
        ConnectError(QAbstractSocket::HostNotFoundError);
        return;
    }
    MakeSockets();
    if (literal)
        FClient->connectToHost(host, FPort);
    else
        FClient->connectToHost(FAddress, FPort);
}

void NetworkGame::GiveUpConnecting() {
    ConnectError(QAbstractSocket::SocketTimeoutError);
}

QString NetworkGame::ConnectFailure(QAbstractSocket::SocketError Error) const {
    switch (Error) {
    case QAbstractSocket::ConnectionRefusedError:
        return tr("Отказ: на порту %1 никто не ждет подключения").arg(FPort);
    case QAbstractSocket::NetworkError:
        return tr("Нет пути к %1: сеть или компьютер недоступны").arg(FAddress);
    case QAbstractSocket::SocketTimeoutError:
        return tr("Нет ответа от %1 за %2 с").arg(FAddress).arg((FConnectTimeoutMs + 999) / 1000);
    case QAbstractSocket::HostNotFoundError:
        return tr("Имя не найдено: «%1»").arg(FAddress);
    default:
        return FClient ? FClient->errorString() : QString();
    }
}

void NetworkGame::End() {
    const bool connected = FOpponent || FClientActive;
    ++FAttempt;
    FConnectTimer.stop();
    if (FOpponent) {
        QTcpSocket* opponent = FOpponent;
        opponent->disconnect(this);
        opponent->flush();
        opponent->abort();
        opponent->deleteLater();
        FOpponent = nullptr;
    }
    if (FServer) FServer->close();
    FDiscovery.Withdraw();
    FServerActive = false;
    FAwaitedGame.clear();
    if (FClient) FClient->flush();
    AbortClient();
    FClientActive = false;
    FReader.Clear();
    FPhase = Phase::Idle;
    if (connected) EndGame(tr("Соединение закрыто"));
}

void NetworkGame::Accept() {
    while (QTcpSocket* socket = FServer->nextPendingConnection()) {
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        EnableKeepAlive(socket);
        QPointer<QTcpSocket> s(socket);
        connect(socket, &QIODevice::readyRead, this, [this, s] {
            Deliver([this, s] {
                if (s) ClientRead(s);
            });
        });
        connect(socket, &QAbstractSocket::disconnected, this, [this, s] {
            Deliver([this, s] {
                if (s) ClientDisconnected(s);
            });
        });
        connect(socket, &QAbstractSocket::errorOccurred, this, [this, s](QAbstractSocket::SocketError e) {
            Deliver([this, s, e] {
                if (s) ClientError(s, e);
            });
        });
        Deliver([this, s] {
            if (s) ClientConnected(s);
        });
    }
}

void NetworkGame::ClientConnected(QTcpSocket* Socket) {
    if (FOpponent && FOpponent != Socket) {
        RefuseClient(Socket);
        return;
    }
    FOpponent = Socket;
    FReader.Clear();
    FHost.NetworkStatus(tr("%1 подключился").arg(Readable(Socket->peerAddress())));
    Send(Socket, Wire::SideMessage(FServerWhite));
    StartGame(FServerWhite);
}

// The refused connection is handled on its own: it gets "#:Busy" and is closed, and its closing is no
// concern of the running game.
void NetworkGame::RefuseClient(QTcpSocket* Socket) {
    FHost.NetworkStatus(tr("Подключение от %1 отклонено").arg(Readable(Socket->peerAddress())));
    Socket->disconnect(this);
    connect(Socket, &QIODevice::readyRead, Socket, [Socket] { Socket->readAll(); });
    connect(Socket, &QAbstractSocket::disconnected, Socket, &QObject::deleteLater);
    Send(Socket, Wire::BusyMessage());
    Socket->disconnectFromHost();
}

void NetworkGame::ClientDisconnected(QTcpSocket* Socket) {
    if (Socket != FOpponent) return;
    DropOpponent(Socket);
    EndGame(tr("Клиент отключился"));
}

void NetworkGame::ClientError(QTcpSocket* Socket, QAbstractSocket::SocketError Error) {
    // The peer closing its end is a disconnection, reported next.
    if (Error == QAbstractSocket::RemoteHostClosedError || Socket != FOpponent) return;
    EndGame(tr("Ошибка клиента"));
    // Closed and forgotten, so that the next client is accepted as the opponent.
    Socket->disconnect(this);
    Socket->abort();
    DropOpponent(Socket);
}

void NetworkGame::DropOpponent(QTcpSocket* Socket) {
    FOpponent = nullptr;
    FReader.Clear();
    FPhase = Phase::Idle;
    Socket->deleteLater();
}

// A read takes everything that has arrived by now, however many notifications announced it.
void NetworkGame::ClientRead(QTcpSocket* Socket) {
    const QByteArray bytes = Socket->readAll();
    if (Socket == FOpponent && !bytes.isEmpty()) ReceiveFromOpponent(bytes);
}

void NetworkGame::Connecting() {
    FHost.NetworkStatus(tr("Подключение..."));
}

void NetworkGame::Connected() {
    // Only a connected socket takes options (Qt drops them before that): each message leaves at once
    // instead of waiting to join the next one.
    FConnectTimer.stop();
    FClient->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    EnableKeepAlive(FClient);
    FClientActive = true;
    FReader.Clear();
    FPhase = Phase::WaitingForSide;
    FHost.NetworkStatus(tr("Подключен"));
}

void NetworkGame::Disconnected() {
    LoseServer();
    EndGame(tr("Отключен от сервера"));
}

void NetworkGame::ConnectError(QAbstractSocket::SocketError Error) {
    if (Error == QAbstractSocket::RemoteHostClosedError) return;
    FConnectTimer.stop();
    // An attempt that never connected says why it failed.
    const QString why = FClientActive ? QString() : ConnectFailure(Error);
    LoseServer();
    EndGame(tr("Ошибка подключения"), why);
    // The connection is over; its closing adds nothing more.
    ++FAttempt;
    AbortClient();
}

// Closed without a word: the closing of a connection this copy gave up is no news to it.
void NetworkGame::AbortClient() {
    if (!FClient) return;
    const QSignalBlocker quiet(FClient);
    FClient->abort();
}

void NetworkGame::Read() {
    const QByteArray bytes = FClient->readAll();
    if (FClientActive && !bytes.isEmpty()) ReceiveFromOpponent(bytes);
}

void NetworkGame::ReceiveFromOpponent(const QByteArray& Bytes) {
    for (const QByteArray& message : FReader.Feed(Bytes)) ProcessMessage(message);
}

void NetworkGame::ProcessMessage(const QByteArray& Message) {
    if (Message.isEmpty()) return;
    const Wire::Tag tag = Wire::TagOf(Message);
    if (Message[0] == Wire::ServerMark && FClientActive) {
        if (Message == Wire::BusyMessage()) FHost.NetworkStatus(tr("Сервер уже занят"));
        if (tag == Wire::Tag::Side && FPhase == Phase::WaitingForSide) {
            // The server names its own colour; any payload but "White" leaves white to this side.
            StartGame(Wire::Payload(Message) != QByteArrayView("White"));
        } else if (tag == Wire::Tag::Move) {
            PlayReceivedMove(Message);
        } else if (tag == Wire::Tag::Chat) {
            ShowPeerChat(Message);
        }
    } else if (Message[0] == Wire::ClientMark && FServerActive) {
        if (tag == Wire::Tag::Move)
            PlayReceivedMove(Message);
        else if (tag == Wire::Tag::Chat)
            ShowPeerChat(Message);
    }
}

void NetworkGame::StartGame(bool LocalWhite) {
    FLocalWhite = LocalWhite;
    FPhase = Phase::Playing;
    FHost.NetworkGameStarts(LocalWhite);
}

void NetworkGame::EndGame(const QString& Reason, const QString& Why) {
    FHost.NetworkGameEnds(Reason, Why);
}

void NetworkGame::GameOver() {
    if (FPhase == Phase::Playing) FPhase = Phase::Over;
}

void NetworkGame::LoseServer() {
    FClientActive = false;
    FReader.Clear();
    FPhase = Phase::Over;
}

bool NetworkGame::PeersTurn() const {
    return FPhase == Phase::Playing && FBoard.GetWhiteToMove() != FLocalWhite;
}

// Only the opponent's own moves, in a running game, on the opponent's turn; a refused one is reported, as
// the two boards no longer agree on whose turn it is.
void NetworkGame::PlayReceivedMove(QByteArrayView Message) {
    Square from = None, to = None;
    if (!Wire::ParseMove(Message, from, to)) {
        FHost.NetworkStatus(tr("Ход соперника отклонен: неверная запись хода"));
        return;
    }
    QString reason;
    if (FPhase != Phase::Playing)
        reason = tr("игра не идет");
    else if (!PeersTurn())
        reason = tr("сейчас не его ход");
    else if (!FBoard.MakeMove(from, to))
        reason = tr("ход невозможен");
    if (!reason.isEmpty())
        FHost.NetworkStatus(
            tr("Ход соперника %1 отклонен: %2").arg(GameMessages::MoveText(from, to), reason));
}

void NetworkGame::ShowPeerChat(const QByteArray& Message) {
    // A chat line and the move after it may arrive in one read; the move is taken off only where it is
    // the move the game waits for, since a chat text may itself end with a move's letters.
    QByteArrayView chat = Wire::Payload(Message), move;
    if (QByteArrayView text; Wire::SplitTrailingMove(Message, text, move)) {
        Square from = None, to = None;
        if (PeersTurn() && Wire::ParseMove(move, from, to) && FBoard.IsLegalMove(from, to))
            chat = text;
        else
            move = {};
    }
    if (!chat.isEmpty() || move.isEmpty()) {
        QString text = Wire::DecodeText(chat);
        if (text.size() > Wire::MaxChatText) text = text.left(Wire::MaxChatText - 1) + QStringLiteral("…");
        FHost.PeerChat(text);
    }
    if (!move.isEmpty()) PlayReceivedMove(move);
}

void NetworkGame::SendLocalMove(Square From, Square To) {
    if (FServerActive) {
        if (FOpponent)
            Send(FOpponent, Wire::MoveMessage(true, From, To));
        else
            FHost.NetworkStatus(tr("Нет подключений"));
    } else if (FClientActive) {
        Send(FClient, Wire::MoveMessage(false, From, To));
    } else {
        FHost.NetworkStatus(tr("Не подключен"));
    }
}

void NetworkGame::SendChat(const QString& Text) {
    if (FServerActive && FOpponent)
        Send(FOpponent, Wire::ChatMessage(true, Text));
    else if (!FServerActive && FClientActive)
        Send(FClient, Wire::ChatMessage(false, Text));
}
