// What network play tells the window: status lines, the peer's chat, a game's start and its end. Moves
// reach the window through the board's own events, like every other move.
#pragma once
#include <QString>

class NetworkGameHost {
public:
    virtual ~NetworkGameHost() = default;
    // A status line of the network play (grey in the log).
    virtual void NetworkStatus(const QString& Text) = 0;
    // Something the user must acknowledge: the server could not start.
    virtual void NetworkFailure(const QString& Text) = 0;
    // A chat line from the opponent.
    virtual void PeerChat(const QString& Text) = 0;
    // A game begins; the local player has white or black. The window sets up the board and its lists.
    virtual void NetworkGameStarts(bool LocalWhite) = 0;
    // The connection that carried the game (or was to carry it) is gone; Reason is its status line, Why
    // (when not empty) a further line that says what went wrong.
    virtual void NetworkGameEnds(const QString& Reason, const QString& Why) = 0;
};
