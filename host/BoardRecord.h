// The game record of a main window's board: where the game began (the board's history entry and the FEN
// counters of that position) and what the windows do with it: FEN and PGN text for the clipboard and
// files, reading games from PGN or FEN text, and setting a read game up on the board. The moves themselves
// are never kept twice: the record is rebuilt from the board's history whenever it is needed, so take-back
// and replay move through it exactly as through the board.
#pragma once
#include "GameRecord.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>

class TChessBrd;

class BoardRecord {
public:
    // A game begins at the board's entry (StartMove, StartWhite); Counters gives the half-move clock and
    // full-move number its position had.
    void Begin(int StartMove, bool StartWhite, const GameSetup& Counters = StandardSetup());
    int StartMove() const { return FStartMove; }
    bool StartWhite() const { return FStartWhite; }

    GameRecord Build(const TChessBrd& Board) const;
    // FEN of the position on the board.
    QString Fen(const TChessBrd& Board) const;
    // The game up to the position on the board, with the roster's Event "Gambitron", this machine as the
    // Site, the day the game began and Round "-".
    QString Pgn(const TChessBrd& Board, const QString& White, const QString& Black) const;
    // Whether the board holds a game at all: before the first game it is empty.
    static bool HasGame(const TChessBrd& Board);

    // The names PGN gives the players.
    static QString PlayerName();            // "Игрок"
    static QString ComputerName(int Depth); // "Компьютер (глубина 4)"

    // A game read from text, or why there is none: Damaged when the text holds no game or a position the
    // rules cannot play, otherwise Problem names the move, e.g. "Ход 12... Nbd7: такого хода нет".
    struct ReadResult {
        std::optional<GameRecord> Game;
        bool Damaged = false;
        QString Problem;
    };
    // The first game of a PGN text. Underpromotion is refused by its move: the board always makes a queen.
    // Complete is false when Text is only the beginning of a longer file: a game that runs to its end may
    // go on after it, and is refused as damaged.
    static ReadResult ReadPgn(const QByteArray& Text, bool Complete = true);
    // The first line of a FEN file.
    static ReadResult ReadFen(const QByteArray& Text);
    // Whether a file name holds a FEN position rather than a game: its suffix is ".fen", in any case.
    static bool IsFenName(const QString& FileName);
    // A file of either kind, told by its suffix: the first line of a ".fen" file, else the first game.
    // Only the first MaxFileBytes are read, in whole lines, so that a database of many games is not loaded
    // whole for its first game; an unreadable file reads as empty, and so as damaged.
    static constexpr qint64 MaxFileBytes = qint64(16) << 20;
    static ReadResult ReadFile(const QString& FileName);
    // The clipboard: a FEN if it reads as one, else PGN.
    static ReadResult ReadPasted(const QString& Text);

    // Sets the board up with Game and begins the record there: its start position, then its moves, played
    // without events, sounds or slides, as if the game had been played on this board. The computer's roles
    // are the caller's: set them afterwards.
    void Load(TChessBrd& Board, const GameRecord& Game);

    // Writes Bytes to FileName in one piece: the old file stays intact when anything fails.
    static bool SaveText(const QString& FileName, const QByteArray& Bytes);
    // A FEN file: the position as one line, as ReadFile reads a ".fen" name.
    static bool SaveFen(const QString& FileName, const QString& Fen);

private:
    int FStartMove = 1;
    bool FStartWhite = true;
    GameSetup FCounters = StandardSetup();
    QDate FDate;
};
