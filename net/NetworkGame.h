// NetworkGame: one copy's side of a game over TCP. As the server it listens, accepts one opponent at a
// time and deals the colours; as the client it connects to a server and takes the colour it is given.
// Either way it carries the wire messages of Wire.h: the local player's moves and chat lines out, the
// opponent's in. Received work waits for the board's move in progress (TChessBrd::AfterMove), so that a
// message never runs in the middle of a move. It reports to the window through NetworkGameHost. This is
// the network play module: the window reaches it through NetworkPlay.
#pragma once
#include "ChessTypes.h"
#include "NetworkPlay.h"
#include "WireReader.h"

#include <QAbstractSocket>
#include <QByteArrayView>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

class GameDiscovery;
class NetworkGameHost;
class QTcpServer;
class QTcpSocket;
class TChessBrd;

class NetworkGame : public QObject, public NetworkPlay {
    Q_OBJECT
public:
    NetworkGame(TChessBrd& Board, NetworkGameHost& Host, GameDiscovery& Discovery, QObject* parent = nullptr);
    ~NetworkGame() override;

    bool Listen(quint16 Port, bool ServerWhite) override;
    void Connect(const QString& Address, quint16 Port) override;
    void SetConnectTimeout(int Milliseconds) override { FConnectTimeoutMs = Milliseconds; }
    void End() override;

    // The addresses a client can reach this machine at, as "address:port" (IPv6 in brackets): every
    // interface address but loopback and IPv6 link-local ones, or loopback where there is nothing else.
    static QStringList Addresses(quint16 Port);
    // Turns on TCP keep-alive with short timings, so that a peer that vanished without closing (cable
    // pulled, machine off) ends the game within about 30 s; a peer that is merely silent keeps it.
    static bool EnableKeepAlive(QTcpSocket* Socket);

    void SendLocalMove(Square From, Square To) override;
    void SendChat(const QString& Text) override;
    void GameOver() override;

    void ReceiveFromOpponent(const QByteArray& Bytes) override;
    // Acts on one received message; anything the current state does not expect is dropped.
    void ProcessMessage(const QByteArray& Message);

    bool ServerActive() const override { return FServerActive; }
    bool ClientActive() const override { return FClientActive; }
    Phase CurrentPhase() const override { return FPhase; }
    quint16 Port() const override { return FPort; }
    QTcpSocket* Opponent() const override;
    QString OpponentAddress() const override;
    // An address as people write it: an IPv4 peer of the dual-stack server without its ::ffff: prefix.
    static QString Readable(const QHostAddress& Address);
    QTcpSocket* Client() override;
    QString LocalIPv4Addresses() const override;

private:
    void MakeSockets();
    void Accept();
    void ClientConnected(QTcpSocket* Socket);
    void ClientDisconnected(QTcpSocket* Socket);
    void ClientRead(QTcpSocket* Socket);
    void ClientError(QTcpSocket* Socket, QAbstractSocket::SocketError Error);
    void RefuseClient(QTcpSocket* Socket);
    void DropOpponent(QTcpSocket* Socket);
    void Connecting();
    void Connected();
    void Disconnected();
    void Read();
    void ConnectError(QAbstractSocket::SocketError Error);
    void LoseServer();
    void GiveUpConnecting();
    void AbortClient();
    void ConnectTo(const QString& Address, quint16 Port);
    void LookForGame();
    void StartGame(bool LocalWhite);
    void EndGame(const QString& Reason, const QString& Why = QString());
    QString ConnectFailure(QAbstractSocket::SocketError Error) const;

    bool PeersTurn() const;
    void PlayReceivedMove(QByteArrayView Message);
    void ShowPeerChat(const QByteArray& Message);
    static void Send(QTcpSocket* Socket, const QByteArray& Message);

    // Received network work runs only between moves: PerformMove's handlers process window messages, and
    // a move or a new game started from there would run in the middle of the move.
    void Deliver(std::function<void()> Work);
    static void RunWork(const std::function<void()>& Work);

    TChessBrd& FBoard;
    NetworkGameHost& FHost;
    QTcpServer* FServer = nullptr;
    QTcpSocket* FClient = nullptr;
    quint16 FPort = 5000;
    bool FServerWhite = true;
    bool FServerActive = false;
    bool FClientActive = false;
    bool FLocalWhite = false;
    Phase FPhase = Phase::Idle;
    QPointer<QTcpSocket> FOpponent;
    // One connection carries the game at a time, so one reader serves it.
    WireReader FReader;
    // Counts the client's connection attempts: what its socket reported for an earlier one is dropped.
    int FAttempt = 0;
    QString FAddress;
    // The found game's name a connection waits for, while it has not been seen.
    QString FAwaitedGame;
    GameDiscovery& FDiscovery;
    QTimer FConnectTimer;
    int FConnectTimeoutMs = 10000;
};
