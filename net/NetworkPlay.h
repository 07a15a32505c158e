// NetworkPlay: what the window asks of network play. The implementation (NetworkGame, on Qt Network) is a
// module of its own, loaded when network play is first needed: Qt Network and the libraries it brings
// (Kerberos, the proxy library) cost a start that shows only the control panel about 1.4 MB and several
// milliseconds, and most games are against the computer or two people at one board.
#pragma once
#include "ChessTypes.h"

#include <QByteArray>
#include <QString>

class GameDiscovery;
class NetworkGameHost;
class QObject;
class QTcpSocket;
class TChessBrd;

class NetworkPlay {
public:
    virtual ~NetworkPlay() = default;

    // Where a network game stands: before a game (also after the server's opponent left), the client
    // connected and waiting for its side, a game in progress, and a game that has ended.
    enum class Phase { Idle, WaitingForSide, Playing, Over };

    // Starts listening on Port (0: a port the system picks), IPv4 and IPv6 alike, for an opponent; the
    // server's player takes white or black. Reports "Сервер запущен" and every address a client can use.
    // False when listening cannot start (the host has been told why).
    virtual bool Listen(quint16 Port, bool ServerWhite) = 0;
    // Starts connecting to a server given by an IPv4 or IPv6 address, a host name, which is looked up
    // without blocking, or the name of a game found on the network (waited for when it has not been
    // seen yet). An attempt that gets no answer gives up after the connect timeout.
    virtual void Connect(const QString& Address, quint16 Port) = 0;
    virtual void SetConnectTimeout(int Milliseconds) = 0;
    // Ends network play, whatever it is doing: the opponent's connection is closed (the peer sees its
    // usual disconnection lines), the server stops listening, a connection attempt is abandoned. Listen
    // or Connect starts again.
    virtual void End() = 0;

    // The local player's move, sent to the opponent; a status line when there is none.
    virtual void SendLocalMove(Square From, Square To) = 0;
    // A chat line, sent when there is an opponent to read it.
    virtual void SendChat(const QString& Text) = 0;
    // The board has ended the game (mate, stalemate, repetition).
    virtual void GameOver() = 0;
    // Handles bytes as the opponent's connection delivers them: cut into messages, each processed.
    virtual void ReceiveFromOpponent(const QByteArray& Bytes) = 0;

    virtual bool ServerActive() const = 0;
    virtual bool ClientActive() const = 0;
    virtual Phase CurrentPhase() const = 0;
    virtual quint16 Port() const = 0;
    // The server's opponent or the client's connection to its server; null when there is none.
    virtual QTcpSocket* Opponent() const = 0;
    // The opponent's address as people write it; empty when there is no opponent.
    virtual QString OpponentAddress() const = 0;
    // The client's socket, made on first use.
    virtual QTcpSocket* Client() = 0;
    // Every IPv4 address of this machine, which the server's player reads out to the opponent, joined by
    // commas.
    virtual QString LocalIPv4Addresses() const = 0;

    // Network play for the window, a child of Parent; the games found on the network come from Discovery.
    // Null when the module cannot be loaded, with Error saying why.
    static NetworkPlay* Load(TChessBrd& Board, NetworkGameHost& Host, GameDiscovery& Discovery,
                             QObject* Parent, QString& Error);
};

// The module's one entry point (extern "C"), looked up by this name.
using MakeNetworkPlayFunction = NetworkPlay* (*)(TChessBrd&, NetworkGameHost&, GameDiscovery&, QObject*);
inline constexpr const char* MakeNetworkPlayName = "GambitronMakeNetworkPlay";
