#include "SavedGame.h"

#include "ChessBrd.h"
#include "IniFile.h"

const QByteArray SavedGame::Section = "Gambitron Position";
const QByteArray SavedGame::NoVersion = "failed";
const QByteArray SavedGame::NoLastMove = "@9-@9";

QByteArray SavedGame::LastMoveText(Square From, Square To) {
    // None has no file and rank; the format writes it as "@9" (file 0 and the rank a square 0 would have).
    if (From == None || To == None) return NoLastMove;
    QByteArray text;
    for (Square sq : {From, To}) {
        if (!text.isEmpty()) text += '-';
        text += static_cast<char>('@' + ChessGame::FileOf(sq));
        text += static_cast<char>('0' + ChessGame::RankOf(sq));
    }
    return text;
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

bool SavedGame::IsPlayable(const IniFile& File, const TChessBrd& Board) {
    const QByteArray position =
        File.ReadString(Section, "Position", QByteArray::fromStdString(Board.GetPosition()));
    const bool whiteToMove = File.ReadBool(Section, "WhiteToMove", Board.GetWhiteToMove());
    return ChessGame::CheckPosition(position.toStdString(), whiteToMove) == ChessGame::PositionFault::None;
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
