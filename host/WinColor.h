// Colours as the windows name them: Windows colour values laid out $00BBGGRR. Every conversion to QColor
// goes through here, since reading the bytes the other way round turns orange into blue.
#pragma once
#include <QColor>
#include <cstdint>

inline QColor WinColor(std::uint32_t Value) {
    return QColor(Value & 0xFF, (Value >> 8) & 0xFF, (Value >> 16) & 0xFF);
}

// The log and frame colours both windows use.
namespace LogColor {
constexpr std::uint32_t WhiteMove = 0x0070DF; // orange-brown, RGB 223,112,0
constexpr std::uint32_t BlackMove = 0xFF8000; // azure, RGB 0,128,255
constexpr std::uint32_t Event = 0x0000FF;     // red: captures, checks, the end of a game
constexpr std::uint32_t Status = 0x808080;    // grey
constexpr std::uint32_t Undo = 0x408000;      // green: take back and replay
constexpr std::uint32_t Command = 0x004080;   // brown, RGB 128,64,0: chat command output
constexpr std::uint32_t Welcome = 0x00A45A;   // green, RGB 90,164,0: the network log's own colour
constexpr std::uint32_t Frame = 0x0080FF;     // orange, RGB 255,128,0: last-move frames
} // namespace LogColor
