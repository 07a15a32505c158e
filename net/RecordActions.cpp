// gambitron's game records: the position as FEN and the game as PGN to the clipboard, and the game saved
// as a PGN file, from the move list's menu and the window's shortcuts.
#include "main.h"

#include "ButtonShortcuts.h"
#include "ChessBrd.h"
#include "CopyKeyPassThrough.h"
#include "WinColor.h"

#include <QAction>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>

void TForm1::CreateRecordActions() {
    SaveGameDialog.Title = tr("Сохранение партии");
    SaveGameDialog.Filter = tr("Партии PGN (*.pgn)");
    SaveGameDialog.DefaultSuffix = QStringLiteral("pgn");
    SaveGameDialog.Save = SaveGameDialog.ConfirmOverwrite = true;

    const auto add = [this](const char* Name, const QString& Text, const QKeySequence& Key,
                            void (TForm1::*Slot)()) {
        FRecordActions << AddWindowAction(this, nullptr, Name, Text, Key, [this, Slot] { (this->*Slot)(); });
    };
    add("CopyFenAction", tr("Копировать позицию (FEN)"), QKeySequence(Qt::CTRL | Qt::Key_C),
        &TForm1::CopyFen);
    add("CopyPgnAction", tr("Копировать партию (PGN)"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
        &TForm1::CopyPgn);
    add("SaveGameAction", tr("Сохранить партию (PGN)…"), QKeySequence(Qt::CTRL | Qt::Key_S),
        &TForm1::SaveGame);
    // The chat line nearly always has the focus: with nothing selected there, Ctrl+C is the window's.
    CopyKeyPassThrough::Install(Edit2);
}

QString TForm1::CurrentFen() const {
    return FRecord.Fen(*ChessBrd1);
}

QString TForm1::CurrentPgn() const {
    QString white = BoardRecord::PlayerName(), black = white;
    if (LocalGame) {
        const QString computer = BoardRecord::ComputerName(ChessBrd1->GetSearchDepth());
        if (ChessBrd1->GetComputerPlaysWhite()) white = computer;
        if (ChessBrd1->GetComputerPlaysBlack()) black = computer;
    } else {
        const QString peer = FNetwork ? FNetwork->OpponentAddress() : QString();
        (PlayingWhite ? black : white) = peer.isEmpty() ? QStringLiteral("?") : peer;
    }
    return FRecord.Pgn(*ChessBrd1, white, black);
}

void TForm1::CopyFen() {
    ChessBrd1->AfterMove([this] {
        if (!BoardRecord::HasGame(*ChessBrd1)) return;
        QGuiApplication::clipboard()->setText(CurrentFen());
        LogMessage(tr("Позиция скопирована (FEN)"), WinColor(LogColor::Status));
    });
}

void TForm1::CopyPgn() {
    ChessBrd1->AfterMove([this] {
        if (!BoardRecord::HasGame(*ChessBrd1)) return;
        QGuiApplication::clipboard()->setText(CurrentPgn());
        LogMessage(tr("Партия скопирована (PGN)"), WinColor(LogColor::Status));
    });
}

void TForm1::SaveGame() {
    ChessBrd1->AfterMove([this] {
        if (!BoardRecord::HasGame(*ChessBrd1)) return;
        FileDialogRequest request = SaveGameDialog;
        request.Directory = Dialogs::DocumentsFolder();
        request.FileName = QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yy @ hh-mm")) +
                           QStringLiteral(".pgn");
        const QString name = Dialogs::GetFileName(this, request);
        if (name.isEmpty()) return;
        SaveGameDialog.FileName = name;
        // A name the user gave a ".fen" suffix gets the position, which is what such a file is read as.
        const bool saved = BoardRecord::IsFenName(name) ? BoardRecord::SaveFen(name, CurrentFen())
                                                        : BoardRecord::SaveText(name, CurrentPgn().toUtf8());
        if (!saved) {
            Dialogs::Warning(
                this, tr("Ошибка записи"),
                tr("Не удалось сохранить партию в файл \"%1\".").arg(QDir::toNativeSeparators(name)));
            return;
        }
        LogMessage(tr("Партия сохранена"), WinColor(LogColor::Status));
    });
}
