// A held part must still be able to become a complete message; anything else is passed on at once, where
// the message handling ignores it.
#include "WireReader.h"

#include "Wire.h"

#include <QByteArrayView>

#include <algorithm>

namespace {

constexpr const char* Tags[] = {"Side", "Move", "Chat", "Busy"};

bool IsMark(char c) {
    return c == Wire::ServerMark || c == Wire::ClientMark;
}

// Whether Rest (shorter than a header) can still grow into a known header.
bool IsHeaderPrefix(QByteArrayView Rest) {
    if (Rest.isEmpty() || !IsMark(Rest[0])) return false;
    if (Rest.size() <= 2) return true;
    const QByteArrayView word = Rest.sliced(2);
    for (const char* tag : Tags) {
        if (QByteArrayView(tag).startsWith(word)) return true;
    }
    return false;
}

bool AllDigits(QByteArrayView Bytes) {
    for (char c : Bytes) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

bool IsSidePayloadPrefix(QByteArrayView Payload) {
    return QByteArrayView("White").startsWith(Payload) || QByteArrayView("Black").startsWith(Payload);
}

// Whether Joined, a held part and the bytes that followed it, still reads as the message the part began.
bool ContinuesHeldPart(QByteArrayView Joined) {
    if (Joined.size() < Wire::HeaderLength) return IsHeaderPrefix(Joined);
    const QByteArrayView payload = Wire::Payload(Joined);
    switch (Wire::TagOf(Joined)) {
    case Wire::Tag::Move:
        return AllDigits(payload.first(std::min<qsizetype>(payload.size(), 4)));
    case Wire::Tag::Side:
        return IsSidePayloadPrefix(payload.first(std::min<qsizetype>(payload.size(), 5)));
    case Wire::Tag::Chat:
    case Wire::Tag::Busy:
        return true;
    case Wire::Tag::Unknown:
        break;
    }
    return false;
}

} // namespace

QList<QByteArray> WireReader::Feed(const QByteArray& Bytes) {
    QByteArray buffer = FHeld + Bytes;
    QList<QByteArray> messages;
    // A held part the next read does not continue was the tail of something else (a long chat line the
    // network cut, say): it ends on its own, so that it cannot swallow the message that follows.
    if (!FHeld.isEmpty() && !ContinuesHeldPart(QByteArrayView(buffer).first(
                                std::min<qsizetype>(buffer.size(), Wire::SideLength)))) {
        messages << FHeld;
        buffer = Bytes;
    }
    FHeld.clear();
    qsizetype pos = 0;
    while (pos < buffer.size()) {
        const QByteArrayView rest = QByteArrayView(buffer).sliced(pos);
        qsizetype take = rest.size(); // by default the message runs to the end of the read
        bool hold = false;
        if (rest.size() < Wire::HeaderLength) {
            hold = IsHeaderPrefix(rest);
        } else if (IsMark(rest[0])) {
            const QByteArrayView payload = Wire::Payload(rest);
            switch (Wire::TagOf(rest)) {
            case Wire::Tag::Move:
                if (rest.size() >= Wire::MoveLength)
                    take = Wire::MoveLength;
                else
                    hold = AllDigits(payload);
                break;
            case Wire::Tag::Side:
                if (rest.size() >= Wire::SideLength) {
                    if (IsSidePayloadPrefix(payload.first(5))) take = Wire::SideLength;
                } else {
                    hold = IsSidePayloadPrefix(payload);
                }
                break;
            case Wire::Tag::Busy:
                take = Wire::BusyLength;
                break;
            case Wire::Tag::Chat:
            case Wire::Tag::Unknown:
                break;
            }
        }
        if (hold) {
            FHeld = rest.toByteArray();
            break;
        }
        messages << rest.first(take).toByteArray();
        pos += take;
    }
    return messages;
}
