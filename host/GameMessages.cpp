// The log texts of the board's events.
#include "GameMessages.h"

#include "ChessGame.h"

namespace {
QString Side(bool WhiteMoved) {
    return WhiteMoved ? QStringLiteral("Белые") : QStringLiteral("Черные");
}
} // namespace

namespace GameMessages {

QString SquareName(Square Sq) {
    if (Sq < A8 || Sq > H1) return {};
    return QString(QChar(u'A' + ChessGame::FileOf(Sq) - 1)) + QChar(u'0' + ChessGame::RankOf(Sq));
}

QString MoveText(Square From, Square To) {
    return SquareName(From) + QStringLiteral(" - ") + SquareName(To);
}

QString MoveLine(Square From, Square To) {
    return QStringLiteral("Ход: ") + MoveText(From, To);
}

QString CapturedPieceWord(char Piece) {
    switch (AsciiUpper(Piece)) {
    case 'P':
        return QStringLiteral("пешку!");
    case 'N':
        return QStringLiteral("коня!");
    case 'B':
        return QStringLiteral("слона!");
    case 'R':
        return QStringLiteral("ладью!");
    case 'Q':
        return QStringLiteral("ферзя!");
    case 'K':
        return QStringLiteral("короля! Бугаго :)");
    default:
        return QStringLiteral("фигуру!");
    }
}

QString CaptureText(bool WhiteMoved, char Captured) {
    return Side(WhiteMoved) + QStringLiteral(" берут ") + CapturedPieceWord(Captured);
}

QString CheckText(bool WhiteMoved) {
    return Side(WhiteMoved) + QStringLiteral(" ставят шах!");
}

QString MateText(bool WhiteMoved) {
    return Side(WhiteMoved) + QStringLiteral(" ставят мат!");
}

QString StaleMateText(bool WhiteMoved) {
    return Side(WhiteMoved) + QStringLiteral(" ставят пат. Ничья!");
}

QString ThreefoldText() {
    return QStringLiteral("Тройное повторение хода. Ничья!");
}

QString NewGameHint() {
    return QStringLiteral("Новая игра: Ctrl+N");
}

QString ComputerThinkingText() {
    return QStringLiteral("Компьютер думает…");
}

QString ComputersTurnText() {
    return QStringLiteral("Сейчас ход компьютера");
}

QString OpponentsTurnText() {
    return QStringLiteral("Сейчас ход соперника");
}

} // namespace GameMessages
