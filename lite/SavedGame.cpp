#include "SavedGame.h"

#include "ChessBrd.h"
#include "IniFile.h"

const QByteArray SavedGame::Section = "Gambitron Position";
const QByteArray SavedGame::NoVersion = "failed";
const QByteArray SavedGame::NoLastMove = "@9-@9";

QByteArray SavedGame::LastMoveText(Square From, Square To) {
    // None has no file and rank; the format writes it as "@9" (file 0 and the rank a square 0 would have).
    if (From == None || To == None) return NoLastMove;
    const auto name = [](Square sq) {
        return QByteArray{static_cast<char>('@' + ChessGame::FileOf(sq)),
                          static_cast<char>('0' + ChessGame::RankOf(sq))};
    };
    return name(From) + '-' + name(To);
}

bool SavedGame::ParseLastMove(const QByteArray& Text, Square& From, Square& To) {
    From = ChessGame::SquareFromName(Text.mid(0, 2).toStdString());
    To = ChessGame::SquareFromName(Text.mid(3, 2).toStdString());
    if (From != None && To != None) return true;
    From = To = None;
    return false;
}

bool SavedGame::Save(const QString& FileName, const TChessBrd& Board, Square LastFrom, Square LastTo,
                     const QString& GameVersion) {
    IniFile file(FileName);
    if (!file.Load()) return false;
    // Every value is set before anything reaches the disk, so a failure leaves no half-written game.
    const bool written =
        file.WriteString(Section, "GameVersion", GameVersion.toLatin1()) &&
        file.WriteBool(Section, "WhiteToMove", Board.GetWhiteToMove()) &&
        file.WriteInteger(Section, "SearchDepth", Board.GetSearchDepth()) &&
        file.WriteBool(Section, "ComputerPlaysWhite", Board.GetComputerPlaysWhite()) &&
        file.WriteBool(Section, "ComputerPlaysBlack", Board.GetComputerPlaysBlack()) &&
        file.WriteString(Section, "Position", QByteArray::fromStdString(Board.GetPosition())) &&
        file.WriteBool(Section, "WhiteOnTop", Board.GetWhiteOnTop()) &&
        file.WriteString(Section, "LastMove", LastMoveText(LastFrom, LastTo));
    return written && file.Commit();
}

void SavedGame::ApplySettings(const IniFile& File, TChessBrd& Board) {
    // The side to move comes before the position, and the computer's colours last: they start the engine.
    Board.SetSearchDepth(File.ReadInteger(Section, "SearchDepth", Board.GetSearchDepth()));
    Board.SetWhiteOnTop(File.ReadBool(Section, "WhiteOnTop", Board.GetWhiteOnTop()));
    Board.SetWhiteToMove(File.ReadBool(Section, "WhiteToMove", Board.GetWhiteToMove()));
    Board.SetPosition(
        File.ReadString(Section, "Position", QByteArray::fromStdString(Board.GetPosition())).toStdString());
    Board.SetComputerPlaysWhite(File.ReadBool(Section, "ComputerPlaysWhite", Board.GetComputerPlaysWhite()));
    Board.SetComputerPlaysBlack(File.ReadBool(Section, "ComputerPlaysBlack", Board.GetComputerPlaysBlack()));
}
