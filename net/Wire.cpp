// Building and reading the wire messages; every read is bounds-checked, since the bytes come from a peer.
#include "Wire.h"

#include "ChessGame.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Wire {

namespace {

QByteArray Header(char Mark, const char* TagWord) {
    QByteArray m;
    m.append(Mark).append(':').append(TagWord).append(':');
    return m;
}

char Mark(bool FromServer) {
    return FromServer ? ServerMark : ClientMark;
}

int DigitAt(QByteArrayView Message, qsizetype Index) {
    if (Index >= Message.size()) return -1;
    const char c = Message[Index];
    return c >= '1' && c <= '8' ? c - '0' : -1;
}

} // namespace

QByteArray SideMessage(bool ServerPlaysWhite) {
    return Header(ServerMark, "Side").append(ServerPlaysWhite ? "White" : "Black");
}

QByteArray MoveMessage(bool FromServer, Square From, Square To) {
    QByteArray m = Header(Mark(FromServer), "Move");
    for (int digit :
         {ChessGame::FileOf(From), ChessGame::RankOf(From), ChessGame::FileOf(To), ChessGame::RankOf(To)})
        m.append(static_cast<char>('0' + digit));
    return m;
}

QByteArray ChatMessage(bool FromServer, const QString& Text) {
    return Header(Mark(FromServer), "Chat").append(EncodeText(Text));
}

QByteArray BusyMessage() {
    return QByteArray("#:Busy");
}

Tag TagOf(QByteArrayView Message) {
    if (Message.size() < HeaderLength) return Tag::Unknown;
    const QByteArrayView word = Message.sliced(2, 4);
    if (word == "Side") return Tag::Side;
    if (word == "Move") return Tag::Move;
    if (word == "Chat") return Tag::Chat;
    if (word == "Busy") return Tag::Busy;
    return Tag::Unknown;
}

QByteArrayView Payload(QByteArrayView Message) {
    return Message.size() > PayloadStart ? Message.sliced(PayloadStart) : QByteArrayView();
}

bool ParseMove(QByteArrayView Message, Square& From, Square& To) {
    int d[4];
    for (int i = 0; i < 4; ++i) {
        d[i] = DigitAt(Message, PayloadStart + i);
        if (d[i] < 0) return false;
    }
    From = ChessGame::SquareOf(d[0], d[1]);
    To = ChessGame::SquareOf(d[2], d[3]);
    return true;
}

QByteArray EncodeText(const QString& Text) {
    QStringEncoder encoder("windows-1251");
    return encoder.encode(Text);
}

QString DecodeText(QByteArrayView Bytes) {
    QStringDecoder decoder("windows-1251");
    return decoder.decode(Bytes);
}

} // namespace Wire
