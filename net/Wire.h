// The messages two copies of the program exchange, byte for byte. A message is an origin mark ("#" from
// the server, "$" from the client), a separator, a four-letter tag, a separator and a payload; "#:Busy"
// ends after its tag. Only the mark (position 1) and the tag (positions 3 to 6) identify a message.
// Chat text travels in Windows-1251, one byte per character, without any escaping.
#pragma once
#include "ChessTypes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace Wire {

enum class Tag { Side, Move, Chat, Busy, Unknown };

constexpr char ServerMark = '#';
constexpr char ClientMark = '$';
constexpr qsizetype HeaderLength = 6; // mark, separator, tag
constexpr qsizetype PayloadStart = 7; // 0-based index of position 8
constexpr qsizetype MoveLength = 11;  // "#:Move:5254"
constexpr qsizetype SideLength = 12;  // "#:Side:White"
constexpr qsizetype BusyLength = 6;   // "#:Busy"
// The longest chat text that goes out or is shown: the log lays out a line of this length, even one
// without a single break, in a few milliseconds (bench/LogBench.cpp), and nobody types more into one line.
constexpr qsizetype MaxChatText = 4000;

QByteArray SideMessage(bool ServerPlaysWhite);
QByteArray MoveMessage(bool FromServer, Square From, Square To);
QByteArray ChatMessage(bool FromServer, const QString& Text);
QByteArray BusyMessage();

// The tag at positions 3 to 6; Unknown for anything shorter or any other word.
Tag TagOf(QByteArrayView Message);
// Everything from position 8 on; empty when the message is shorter.
QByteArrayView Payload(QByteArrayView Message);
// The squares of a move message, whose positions 8 to 11 must be the digits 1 to 8 (from-file,
// from-rank, to-file, to-rank); false for anything else, which must not reach the board.
bool ParseMove(QByteArrayView Message, Square& From, Square& To);

// A chat message whose read ends with its sender's own move message (the same mark, ":Move:" and four
// digits 1 to 8), as when a chat line and the next move arrive together: Text is the chat text before the
// move, Move the move message. False when the chat does not end so; it then stays chat as a whole.
bool SplitTrailingMove(QByteArrayView Chat, QByteArrayView& Text, QByteArrayView& Move);

// Whether the peer would read a chat line of Text from this side as chat followed by a move of this side
// (see SplitTrailingMove): such a line would move on the peer's board only.
bool ChatReadsAsMove(bool FromServer, const QString& Text, QString* Move = nullptr);

// Whether Windows-1251 carries every character of Text; otherwise Refused is the first one it does not.
bool CanEncode(const QString& Text, QString* Refused = nullptr);
QByteArray EncodeText(const QString& Text);
QString DecodeText(QByteArrayView Bytes);

} // namespace Wire
