// The texts both windows log for the board's events, and the few words they show about whose turn it is
// and how to go on, in one place and exactly as the players see them. Russian is the source language; each
// text passes through the installed translation (context "GameMessages").
#pragma once
#include "ChessTypes.h"
#include <QString>

class TChessBrd;

namespace GameMessages {
// "E2": the file letter in capitals and the rank digit, in every language.
QString SquareName(Square Sq);
// "E2 - E4".
QString MoveText(Square From, Square To);
// "Ход: E2 - E4".
QString MoveLine(Square From, Square To);
// The side named is the one that has just moved: "Белые берут пешку!" / "Черные берут пешку!"; a letter
// of either case names the piece, anything else is "фигуру!".
QString CaptureText(bool WhiteMoved, char Captured);
QString CheckText(bool WhiteMoved);     // "Белые ставят шах!"
QString MateText(bool WhiteMoved);      // "Белые ставят мат!"
QString StaleMateText(bool WhiteMoved); // "Белые ставят пат. Ничья!"
QString ThreefoldText();                // "Тройное повторение хода. Ничья!"

QString NewGameHint();          // "Новая игра: Ctrl+N", logged once a game has ended
QString ComputerThinkingText(); // "Компьютер думает…"
QString ComputersTurnText();    // "Сейчас ход компьютера", for input refused on its turn
QString OpponentsTurnText();    // "Сейчас ход соперника"

// Shows Text for two seconds where a refused move was tried: at the keyboard cursor's square when the keys
// tried it, since the pointer may be anywhere then, else at the pointer.
void ShowRefusalHint(TChessBrd& Board, const QString& Text, bool ByKeys);
} // namespace GameMessages
