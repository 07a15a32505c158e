// The log texts of the board's events. Whole sentences go to the translators, since word order and the
// form of a piece's name differ between languages.
#include "GameMessages.h"

#include "ChessBrd.h"
#include "ChessGame.h"

#include <QCoreApplication>
#include <QCursor>
#include <QToolTip>

namespace {

struct SideTexts {
    const char* White;
    const char* Black;
};

QString ForSide(bool WhiteMoved, const SideTexts& Texts) {
    return QCoreApplication::translate("GameMessages", WhiteMoved ? Texts.White : Texts.Black);
}

struct CaptureTexts {
    char Piece;
    SideTexts Texts;
};

const CaptureTexts Captures[] = {
    {'P',
     {QT_TRANSLATE_NOOP("GameMessages", "Белые берут пешку!"),
      QT_TRANSLATE_NOOP("GameMessages", "Черные берут пешку!")}},
    {'N',
     {QT_TRANSLATE_NOOP("GameMessages", "Белые берут коня!"),
      QT_TRANSLATE_NOOP("GameMessages", "Черные берут коня!")}},
    {'B',
     {QT_TRANSLATE_NOOP("GameMessages", "Белые берут слона!"),
      QT_TRANSLATE_NOOP("GameMessages", "Черные берут слона!")}},
    {'R',
     {QT_TRANSLATE_NOOP("GameMessages", "Белые берут ладью!"),
      QT_TRANSLATE_NOOP("GameMessages", "Черные берут ладью!")}},
    {'Q',
     {QT_TRANSLATE_NOOP("GameMessages", "Белые берут ферзя!"),
      QT_TRANSLATE_NOOP("GameMessages", "Черные берут ферзя!")}},
    // A king is never captured in a legal game; the joke stays for positions that allow it.
    {'K',
     {QT_TRANSLATE_NOOP("GameMessages", "Белые берут короля! Бугаго :)"),
      QT_TRANSLATE_NOOP("GameMessages", "Черные берут короля! Бугаго :)")}},
};
const SideTexts OtherCapture = {QT_TRANSLATE_NOOP("GameMessages", "Белые берут фигуру!"),
                                QT_TRANSLATE_NOOP("GameMessages", "Черные берут фигуру!")};

const SideTexts Check = {QT_TRANSLATE_NOOP("GameMessages", "Белые ставят шах!"),
                         QT_TRANSLATE_NOOP("GameMessages", "Черные ставят шах!")};
const SideTexts Mate = {QT_TRANSLATE_NOOP("GameMessages", "Белые ставят мат!"),
                        QT_TRANSLATE_NOOP("GameMessages", "Черные ставят мат!")};
const SideTexts StaleMate = {QT_TRANSLATE_NOOP("GameMessages", "Белые ставят пат. Ничья!"),
                             QT_TRANSLATE_NOOP("GameMessages", "Черные ставят пат. Ничья!")};

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
    //: A move in the log; %1 is the move as "E2 - E4", the same in every language.
    return QCoreApplication::translate("GameMessages", "Ход: %1").arg(MoveText(From, To));
}

QString CaptureText(bool WhiteMoved, char Captured) {
    for (const CaptureTexts& capture : Captures)
        if (capture.Piece == AsciiUpper(Captured)) return ForSide(WhiteMoved, capture.Texts);
    return ForSide(WhiteMoved, OtherCapture);
}

QString CheckText(bool WhiteMoved) {
    return ForSide(WhiteMoved, Check);
}

QString MateText(bool WhiteMoved) {
    return ForSide(WhiteMoved, Mate);
}

QString StaleMateText(bool WhiteMoved) {
    return ForSide(WhiteMoved, StaleMate);
}

QString ThreefoldText() {
    return QCoreApplication::translate("GameMessages", "Тройное повторение хода. Ничья!");
}

QString NewGameHint() {
    return QCoreApplication::translate("GameMessages", "Новая игра: Ctrl+N");
}

QString ComputerThinkingText() {
    return QCoreApplication::translate("GameMessages", "Компьютер думает…");
}

QString ComputersTurnText() {
    return QCoreApplication::translate("GameMessages", "Сейчас ход компьютера");
}

QString OpponentsTurnText() {
    return QCoreApplication::translate("GameMessages", "Сейчас ход соперника");
}

void ShowRefusalHint(TChessBrd& Board, const QString& Text, bool ByKeys) {
    const bool atCursor = ByKeys && Board.KeyboardCursor() != None;
    const QPoint place =
        atCursor ? Board.mapToGlobal(Board.SquareRect(Board.KeyboardCursor()).center()) : QCursor::pos();
    QToolTip::showText(place, Text, &Board, {}, 2000);
}

} // namespace GameMessages
