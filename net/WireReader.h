// Cuts the byte stream of one connection into messages. TCP keeps no message boundaries, so one read may
// carry several messages or part of one. Where the length is certain (a move is 11 bytes, a side message
// 12, "#:Busy" 6) the reader splits merged messages and joins a message cut short with its continuation.
// A chat message has no length: it runs to the end of its read, as the sender may itself have typed
// "#:Move:" in it. What is held back for the next read is never longer than one move or side message.
#pragma once
#include <QByteArray>
#include <QList>

class WireReader {
public:
    // Takes one read and returns the messages it completes, in order.
    QList<QByteArray> Feed(const QByteArray& Bytes);
    // Drops a held part, when its connection ends.
    void Clear() { FHeld.clear(); }
    const QByteArray& Held() const { return FHeld; }

private:
    QByteArray FHeld;
};
