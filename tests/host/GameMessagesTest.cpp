// The colour conversion and the texts both windows log.
#include "GameMessages.h"
#include "WinColor.h"

#include <gtest/gtest.h>

TEST(WindowsColours, AreReadAsBlueGreenRedSoOrangeStaysOrange) {
    EXPECT_EQ(WinColor(LogColor::WhiteMove), QColor(223, 112, 0));
    EXPECT_EQ(WinColor(LogColor::BlackMove), QColor(0, 128, 255));
    EXPECT_EQ(WinColor(LogColor::Frame), QColor(255, 128, 0));
    EXPECT_EQ(WinColor(LogColor::Event), QColor(255, 0, 0));
    EXPECT_EQ(WinColor(LogColor::Welcome), QColor(90, 164, 0));
    EXPECT_EQ(WinColor(LogColor::Command), QColor(128, 64, 0));
    EXPECT_EQ(WinColor(LogColor::Undo), QColor(0, 128, 64));
}

TEST(WindowsColours, IgnoreTheTopByte) {
    EXPECT_EQ(WinColor(0xFF0080FF), QColor(255, 128, 0));
    EXPECT_EQ(WinColor(0xFF0080FF).alpha(), 255);
}

TEST(MoveLines, NameBothSquaresWithCapitalFilesAndRankDigits) {
    EXPECT_EQ(GameMessages::MoveLine(E2, E4), QStringLiteral("Ход: E2 - E4"));
    EXPECT_EQ(GameMessages::MoveLine(G8, F6), QStringLiteral("Ход: G8 - F6"));
    EXPECT_EQ(GameMessages::MoveText(A1, H8), QStringLiteral("A1 - H8"));
    EXPECT_EQ(GameMessages::MoveText(E1, G1), QStringLiteral("E1 - G1"));
    EXPECT_EQ(GameMessages::SquareName(H1), QStringLiteral("H1"));
    EXPECT_EQ(GameMessages::SquareName(A8), QStringLiteral("A8"));
}

TEST(MoveLines, HaveNoSquareNameForNoSquare) {
    EXPECT_EQ(GameMessages::SquareName(None), QString());
    EXPECT_EQ(GameMessages::SquareName(static_cast<Square>(65)), QString());
}

TEST(CaptureLines, NameTheSideThatHasJustMovedAndTheCapturedPieceInEitherCase) {
    const struct {
        char Piece;
        const char16_t* White;
        const char16_t* Black;
    } lines[] = {{'P', u"Белые берут пешку!", u"Черные берут пешку!"},
                 {'N', u"Белые берут коня!", u"Черные берут коня!"},
                 {'B', u"Белые берут слона!", u"Черные берут слона!"},
                 {'R', u"Белые берут ладью!", u"Черные берут ладью!"},
                 {'Q', u"Белые берут ферзя!", u"Черные берут ферзя!"},
                 {'K', u"Белые берут короля! Бугаго :)", u"Черные берут короля! Бугаго :)"}};
    for (const auto& line : lines) {
        for (char letter : {line.Piece, AsciiLower(line.Piece)}) {
            EXPECT_EQ(GameMessages::CaptureText(true, letter), QString::fromUtf16(line.White)) << letter;
            EXPECT_EQ(GameMessages::CaptureText(false, letter), QString::fromUtf16(line.Black)) << letter;
        }
    }
    for (char other : {' ', 'x', 'E', '\0', '\xC0'}) {
        EXPECT_EQ(GameMessages::CaptureText(true, other), QStringLiteral("Белые берут фигуру!"))
            << int(other);
        EXPECT_EQ(GameMessages::CaptureText(false, other), QStringLiteral("Черные берут фигуру!"))
            << int(other);
    }
}

TEST(GameEndLines, ReadExactlyAsThePlayersSeeThem) {
    EXPECT_EQ(GameMessages::CheckText(true), QStringLiteral("Белые ставят шах!"));
    EXPECT_EQ(GameMessages::CheckText(false), QStringLiteral("Черные ставят шах!"));
    EXPECT_EQ(GameMessages::MateText(true), QStringLiteral("Белые ставят мат!"));
    EXPECT_EQ(GameMessages::MateText(false), QStringLiteral("Черные ставят мат!"));
    EXPECT_EQ(GameMessages::StaleMateText(true), QStringLiteral("Белые ставят пат. Ничья!"));
    EXPECT_EQ(GameMessages::StaleMateText(false), QStringLiteral("Черные ставят пат. Ничья!"));
    EXPECT_EQ(GameMessages::ThreefoldText(), QStringLiteral("Тройное повторение хода. Ничья!"));
}
