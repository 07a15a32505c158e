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

bool SplitTrailingMove(QByteArrayView Chat, QByteArrayView& Text, QByteArrayView& Move) {
    if (Chat.size() < PayloadStart + MoveLength || TagOf(Chat) != Tag::Chat) return false;
    const QByteArrayView tail = Chat.last(MoveLength);
    Square from = None, to = None;
    if (tail[0] != Chat[0] || tail.sliced(1, HeaderLength) != ":Move:" || !ParseMove(tail, from, to))
        return false;
    Text = Chat.sliced(PayloadStart, Chat.size() - PayloadStart - MoveLength);
    Move = tail;
    return true;
}

bool ChatReadsAsMove(bool FromServer, const QString& Text, QString* Move) {
    const QByteArray message = ChatMessage(FromServer, Text);
    QByteArrayView text, move;
    if (!SplitTrailingMove(message, text, move)) return false;
    if (Move) *Move = QString::fromLatin1(move);
    return true;
}

bool CanEncode(const QString& Text, QString* Refused) {
    // The encoder works only when its result is taken.
    QStringEncoder encoder("windows-1251");
    const QByteArray bytes = encoder.encode(Text);
    if (!encoder.hasError()) return true;
    if (Refused) {
        // Character by character (a surrogate pair is one), to name the first one that cannot travel.
        for (qsizetype i = 0; i < Text.size(); ++i) {
            const qsizetype length = Text[i].isHighSurrogate() && i + 1 < Text.size() ? 2 : 1;
            QStringEncoder one("windows-1251");
            const QByteArray byte = one.encode(Text.mid(i, length));
            if (one.hasError()) {
                *Refused = Text.mid(i, length);
                break;
            }
            i += length - 1;
        }
    }
    return false;
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
