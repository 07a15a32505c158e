// BoardRecord: the record rebuilt from the board, its texts and files, and games read back onto the board.
#include "BoardRecord.h"

#include "ChessBrd.h"
#include "Pgn.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSysInfo>

#include <algorithm>

namespace {

constexpr std::string_view Bom = "\xEF\xBB\xBF";

// Handlers and slides off while a read game is played onto the board: the window hears of none of its
// moves, as if the game had been set up in one piece.
class QuietBoard {
public:
    explicit QuietBoard(TChessBrd& Board) : FBoard(Board), FAnimate(Board.GetAnimateMoves()) {
        SwapHandlers();
        Board.SetAnimateMoves(false);
    }
    ~QuietBoard() {
        FBoard.SetAnimateMoves(FAnimate);
        SwapHandlers();
    }
    QuietBoard(const QuietBoard&) = delete;
    QuietBoard& operator=(const QuietBoard&) = delete;

private:
    // One list for taking the handlers off and putting them back, so that the two cannot drift apart; the
    // saved ones start empty.
    void SwapHandlers() {
        std::swap(FBoard.OnLegalMove, FOnLegalMove);
        std::swap(FBoard.OnCheck, FOnCheck);
        std::swap(FBoard.OnMate, FOnMate);
        std::swap(FBoard.OnStaleMate, FOnStaleMate);
        std::swap(FBoard.OnCastle, FOnCastle);
        std::swap(FBoard.OnDraw, FOnDraw);
        std::swap(FBoard.OnNoMatingMaterial, FOnNoMatingMaterial);
        std::swap(FBoard.OnThreefoldPosition, FOnThreefoldPosition);
        std::swap(FBoard.OnCapture, FOnCapture);
        std::swap(FBoard.OnPromotion, FOnPromotion);
        std::swap(FBoard.OnPaint, FOnPaint);
        std::swap(FBoard.OnAnnounce, FOnAnnounce);
    }

    TChessBrd& FBoard;
    bool FAnimate;
    TMoveEvent FOnLegalMove, FOnCheck, FOnMate, FOnStaleMate, FOnCastle;
    TNotifyEvent FOnDraw, FOnNoMatingMaterial, FOnThreefoldPosition;
    TCaptureEvent FOnCapture;
    TPromotionEvent FOnPromotion;
    TNotifyEvent FOnPaint;
    decltype(TChessBrd::OnAnnounce) FOnAnnounce;
};

// A move is a few characters; whatever stands in its place is cut short for the message, whose box would
// otherwise take seconds to lay out a long run of rubbish.
QString MoveForMessage(const std::string& Text) {
    constexpr qsizetype MaxMove = 20;
    QString move = QString::fromStdString(Text);
    if (move.size() <= MaxMove) return move;
    move.truncate(MaxMove);
    if (move.back().isHighSurrogate()) move.chop(1);
    return move + QChar(0x2026);
}

BoardRecord::ReadResult Damaged() {
    BoardRecord::ReadResult result;
    result.Damaged = true;
    return result;
}

} // namespace

void BoardRecord::Begin(int StartMove, bool StartWhite, const GameSetup& Counters) {
    FStartMove = StartMove;
    FStartWhite = StartWhite;
    FCounters = Counters;
    FDate = QDate::currentDate();
}

GameRecord BoardRecord::Build(const TChessBrd& Board) const {
    return GameRecord::FromHistory(Board, FStartMove, FStartWhite, FCounters);
}

QString BoardRecord::Fen(const TChessBrd& Board) const {
    return QString::fromStdString(Build(Board).Fen());
}

QString BoardRecord::Pgn(const TChessBrd& Board, const QString& White, const QString& Black) const {
    const QString host = QSysInfo::machineHostName();
    const QDate date = FDate.isValid() ? FDate : QDate::currentDate();
    const PgnRoster roster{QStringLiteral("Gambitron").toStdString(),
                           host.isEmpty() ? std::string("?") : host.toStdString(),
                           date.toString(QStringLiteral("yyyy.MM.dd")).toStdString(),
                           QStringLiteral("-").toStdString(),
                           White.toStdString(),
                           Black.toStdString()};
    return QString::fromStdString(WritePgn(Build(Board), roster));
}

bool BoardRecord::HasGame(const TChessBrd& Board) {
    return Board.CheckPosition() == ChessGame::PositionFault::None;
}

// The players' names are PGN data: a saved game reads the same whatever the window's language.
QString BoardRecord::PlayerName() {
    return QStringLiteral("Игрок");
}

QString BoardRecord::ComputerName(int Depth) {
    return QStringLiteral("Компьютер (глубина %1)").arg(Depth);
}

BoardRecord::ReadResult BoardRecord::ReadPgn(const QByteArray& Text, bool Complete) {
    PgnReadResult read = ::ReadPgn(std::string_view(Text.constData(), static_cast<std::size_t>(Text.size())));
    ReadResult result;
    if (!read.Game) {
        const PgnError& e = read.Error;
        switch (e.What) {
        case PgnError::Kind::NotPgn:
        case PgnError::Kind::BadSetUp:
            return Damaged();
        case PgnError::Kind::NoSuchMove:
            result.Problem = QCoreApplication::translate("BoardRecord", "такого хода нет");
            break;
        case PgnError::Kind::Ambiguous:
            result.Problem = QCoreApplication::translate("BoardRecord", "ход неоднозначен");
            break;
        case PgnError::Kind::GameOver:
            result.Problem =
                QCoreApplication::translate("BoardRecord", "после троекратного повторения ходов больше нет");
            break;
        }
        //: A PGN move that cannot be played: "Move 12... Nbd7: no such move"; %4 names the fault.
        result.Problem = QCoreApplication::translate("BoardRecord", "Ход %1%2 %3: %4")
                             .arg(e.MoveNumber)
                             .arg(e.White ? QStringLiteral(".") : QStringLiteral("..."))
                             .arg(MoveForMessage(e.MoveText), result.Problem);
        return result;
    }
    if (!Complete && read.Game->End >= static_cast<std::size_t>(Text.size())) return Damaged();
    const GameRecord& record = read.Game->Record;
    for (std::size_t ply = 0; ply < record.Moves().size(); ++ply) {
        const RecordedMove& move = record.Moves()[ply];
        if (move.Promotion != 0 && move.Promotion != 'Q') {
            //: %1 names the move as "12... e1=N".
            result.Problem =
                QCoreApplication::translate("BoardRecord", "Ход %1: превращение возможно только в ферзя")
                    .arg(QString::fromStdString(record.NameMove(ply, move.San)));
            return result;
        }
    }
    result.Game.emplace(std::move(read.Game->Record));
    return result;
}

BoardRecord::ReadResult BoardRecord::ReadFen(const QByteArray& Text) {
    std::string_view text(Text.constData(), static_cast<std::size_t>(Text.size()));
    if (text.substr(0, Bom.size()) == Bom) text.remove_prefix(Bom.size());
    // The first line that holds anything.
    std::string_view line;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.find_first_not_of(" \t\r") != std::string_view::npos) break;
        line = {};
    }
    GameSetup setup;
    std::string error;
    if (line.empty() || !::ParseFen(line, setup, error) || !IsPlayableSetup(setup, error)) return Damaged();
    ReadResult result;
    result.Game.emplace(setup);
    return result;
}

bool BoardRecord::IsFenName(const QString& FileName) {
    return QFileInfo(FileName).suffix().compare(QStringLiteral("fen"), Qt::CaseInsensitive) == 0;
}

BoardRecord::ReadResult BoardRecord::ReadFile(const QString& FileName) {
    QFile file(FileName);
    QByteArray bytes;
    bool complete = true;
    if (file.open(QIODevice::ReadOnly)) {
        complete = file.size() <= MaxFileBytes;
        bytes = file.read(std::min(file.size(), MaxFileBytes));
        // A line cut at the limit would read as another move or position than the file holds.
        if (!complete) bytes.truncate(bytes.lastIndexOf('\n') + 1);
    }
    if (IsFenName(FileName)) return ReadFen(bytes);
    return ReadPgn(bytes, complete);
}

BoardRecord::ReadResult BoardRecord::ReadPasted(const QString& Text) {
    // Text copied from a web page often has no-break or other wide spaces where the notation has blanks, and
    // invisible marks (a byte-order mark, zero-width spaces, direction marks) that belong to no notation.
    QString text;
    text.reserve(Text.size());
    for (const QChar c : Text) {
        if (c.category() == QChar::Other_Format) continue;
        text += c.category() == QChar::Separator_Space ? QChar(u' ') : c;
    }
    text = text.trimmed();
    const QByteArray bytes = text.toUtf8();
    GameSetup setup;
    std::string error;
    if (!bytes.contains('\n') && ::ParseFen(bytes.toStdString(), setup, error)) return ReadFen(bytes);
    return ReadPgn(bytes);
}

void BoardRecord::Load(TChessBrd& Board, const GameRecord& Game) {
    QuietBoard quiet(Board);
    Board.NewGameFrom(Game.Start().Position);
    Begin(Board.GetCurrentMove(), Board.GetWhiteToMove(), Game.Start());
    for (std::size_t ply = 0; ply < Game.Ply(); ++ply) {
        const RecordedMove& move = Game.Moves()[ply];
        if (!Board.PerformMove(move.From, move.To)) break;
    }
}

bool BoardRecord::SaveFen(const QString& FileName, const QString& Fen) {
    return SaveText(FileName, Fen.toUtf8() + '\n');
}

bool BoardRecord::SaveText(const QString& FileName, const QByteArray& Bytes) {
    QSaveFile file(FileName);
    return file.open(QIODevice::WriteOnly) && file.write(Bytes) == Bytes.size() && file.commit();
}
