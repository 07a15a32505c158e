// The lite window's game records: copying the position (FEN) and the game (PGN), pasting a game from the
// clipboard, saving PGN, and starting play from a PGN or FEN file.
#include "main.h"

#include "ButtonShortcuts.h"
#include "ChessBrd.h"
#include "WinColor.h"
#include "ui_main.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

#include <memory>

void TForm1::CreateRecordActions() {
    const auto add = [this](const char* Name, const QString& Text, const QKeySequence& Key,
                            void (TForm1::*Slot)()) {
        FRecordActions << AddWindowAction(this, nullptr, Name, Text, Key, [this, Slot] { (this->*Slot)(); });
    };
    add("CopyFenAction", tr("Копировать позицию (FEN)"), QKeySequence(Qt::CTRL | Qt::Key_C),
        &TForm1::CopyFen);
    add("CopyPgnAction", tr("Копировать партию (PGN)"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
        &TForm1::CopyPgn);
    add("PasteGameAction", tr("Вставить игру (FEN или PGN)"), QKeySequence(Qt::CTRL | Qt::Key_V),
        &TForm1::PasteGame);
}

QString TForm1::CurrentFen() const {
    return FRecord.Fen(Board());
}

QString TForm1::CurrentPgn() const {
    const TChessBrd& board = Board();
    const QString computer = BoardRecord::ComputerName(board.GetSearchDepth());
    return FRecord.Pgn(board, board.GetComputerPlaysWhite() ? computer : BoardRecord::PlayerName(),
                       board.GetComputerPlaysBlack() ? computer : BoardRecord::PlayerName());
}

void TForm1::CopyFen() {
    WhenNoMoveInProgress([this] {
        if (!BoardRecord::HasGame(Board())) return;
        QGuiApplication::clipboard()->setText(CurrentFen());
        LogMessage(tr("Позиция скопирована (FEN)"), LogColor::Status);
    });
}

void TForm1::CopyPgn() {
    WhenNoMoveInProgress([this] {
        if (!BoardRecord::HasGame(Board())) return;
        QGuiApplication::clipboard()->setText(CurrentPgn());
        LogMessage(tr("Партия скопирована (PGN)"), LogColor::Status);
    });
}

void TForm1::PasteGame() {
    BoardRecord::ReadResult read = BoardRecord::ReadPasted(QGuiApplication::clipboard()->text());
    const QString caption = tr("Вставка игры");
    if (!read.Game) {
        Dialogs::Warning(this, caption,
                         read.Damaged
                             ? tr("В буфере обмена нет партии PGN или позиции FEN, которую можно сыграть.")
                             : read.Problem);
        return;
    }
    const bool running = ui->TabControl1->isHidden() && Board().HasLegalMove();
    if (running && !Dialogs::Ask(this, caption,
                                 tr("Начать новую игру из буфера обмена? Текущая игра "
                                    "будет прервана.")))
        return;
    // Held work is copied: the record travels shared.
    const auto game = std::make_shared<GameRecord>(std::move(*read.Game));
    WhenNoMoveInProgress([this, game] {
        StartRecordedGame(*game, tr("Игра вставлена из буфера обмена"));
        // Over a game too: whether the new one runs or has ended already is its own, not the last one's.
        ShowGameControls();
    });
}

bool TForm1::SavePgn(const QString& FileName) {
    return BoardRecord::SaveText(FileName, CurrentPgn().toUtf8());
}

bool TForm1::LoadRecordFile(const QString& FileName) {
    const BoardRecord::ReadResult read = BoardRecord::ReadFile(FileName);
    if (!read.Game) {
        Dialogs::Warning(this, tr("Ошибка загрузки"),
                         read.Damaged ? tr("Файл с игрой поврежден.\rЗагрузка невозможна.") : read.Problem);
        PngSpeedButton5Click();
        return false;
    }
    StartRecordedGame(*read.Game, tr("Игра загружена"));
    return true;
}

void TForm1::StartRecordedGame(const GameRecord& Game, const QString& Line) {
    TChessBrd& board = Board();
    const bool computerWhite = ui->ComboBox1->currentIndex() == 0;
    // The computer stops before the board is set up and goes on, if it is to move, once it is.
    board.SetComputerPlaysWhite(false);
    board.SetComputerPlaysBlack(false);
    board.SetSearchDepth(ui->ComboBox2->currentIndex() + 1);
    board.SetWhiteOnTop(computerWhite);
    FRecord.Load(board, Game);
    FStartMove = FRecord.StartMove();
    FStartWhite = FRecord.StartWhite();
    EarlyTakeBack = false;
    LastMoveFrom = LastMoveTo = None;
    if (Game.Ply() > 0) {
        LastMoveFrom = Game.Moves()[Game.Ply() - 1].From;
        LastMoveTo = Game.Moves()[Game.Ply() - 1].To;
    }
    DrawMove();
    LogMessage(Line, LogColor::Status);
    LogMessage(computerWhite ? tr("Компьютер играет белыми") : tr("Компьютер играет черными"),
               LogColor::Status);
    board.SetComputerPlaysBlack(!computerWhite);
    board.SetComputerPlaysWhite(computerWhite);
    UpdateHistoryButtons();
}
