// The lite window: start panel, game flow and log, take-back and replay, turning, snapshot, and the
// saved-game file's writer and reader.
#include "main.h"

#include "BoardSettings.h"
#include "ButtonShortcuts.h"
#include "ChessBrd.h"
#include "CopyKeyPassThrough.h"
#include "GameMessages.h"
#include "IniFile.h"
#include "LastMoveFrames.h"
#include "LogView.h"
#include "SavedGame.h"
#include "Sound.h"
#include "WinColor.h"
#include "ui_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QWindow>

static void InitLiteResources() {
    Q_INIT_RESOURCE(lite);
}

namespace {

const char* const PositionFilter = QT_TRANSLATE_NOOP("TForm1", "Файлы позиций Gambitron (*.pos)");
const char* const PgnFilter = QT_TRANSLATE_NOOP("TForm1", "Партии PGN (*.pgn)");
const char* const GamesFilter = QT_TRANSLATE_NOOP("TForm1", "Игры (*.pos *.pgn *.fen)");
const char* const FenFilter = QT_TRANSLATE_NOOP("TForm1", "Позиции FEN (*.fen)");

// The buttons' names: their tooltips add the keys, and take back and replay log their names as they stand.
const char* const TakeBackName = QT_TRANSLATE_NOOP("TForm1", "Отмена хода");
const char* const ReplayName = QT_TRANSLATE_NOOP("TForm1", "Повтор хода");
const char* const SnapshotName = QT_TRANSLATE_NOOP("TForm1", "Снимок игры");
const char* const TurnName = QT_TRANSLATE_NOOP("TForm1", "Перевернуть доску");
const char* const SaveName = QT_TRANSLATE_NOOP("TForm1", "Сохранить игру");
const char* const NewGameName = QT_TRANSLATE_NOOP("TForm1", "Новая игра");
const char* const OpenName = QT_TRANSLATE_NOOP("TForm1", "Открыть");

// History entries in play order: (1, white) < (1, black) < (2, white) ...
int EntryOrder(int Move, bool White) {
    return Move * 2 + (White ? 0 : 1);
}

} // namespace

const QString TForm1::Caption = QStringLiteral("Gambitron Lite " GAMBITRON_LITE_VERSION);

TForm1::TForm1(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::TForm1>()) {
    InitLiteResources();
    // Before the children exist, so that they are made in it: set afterwards, the change would run through
    // every one of them, and each combo box would build its drop-down list at once.
    setFont(TahomaFont(11));
    ui->setupUi(this);
    setWindowTitle(Caption);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(556, 376);
    FormCreate();
}

TForm1::~TForm1() {
    DetachWindowHandlers(Board());
}

TChessBrd& TForm1::Board() const {
    return *ui->ChessBrd1;
}

bool TForm1::MoveInProgress() const {
    return Board().MoveInProgress();
}

void TForm1::FormCreate() {
    // Qt paints every window double-buffered already; what is left is the look the layout cannot hold.
    ui->Label7->setFont(TahomaFont(21));
    QPalette maroon = ui->Label7->palette();
    maroon.setColor(QPalette::WindowText, WinColor(0x000080));
    ui->Label7->setPalette(maroon);
    ui->RadioButton1->setFont(TahomaFont(11, true));
    ui->RadioButton2->setFont(TahomaFont(11, true));
    QPalette navy = ui->Label3->palette();
    navy.setColor(QPalette::Active, QPalette::WindowText, WinColor(0x800000));
    navy.setColor(QPalette::Inactive, QPalette::WindowText, WinColor(0x800000));
    ui->Label3->setPalette(navy);

    ui->PngSpeedButton1->LoadPng(QStringLiteral(":/buttons/takeback.png"));
    ui->PngSpeedButton2->LoadPng(QStringLiteral(":/buttons/replay.png"));
    ui->PngSpeedButton6->LoadPng(QStringLiteral(":/buttons/snapshot.png"));
    ui->PngSpeedButton3->LoadPng(QStringLiteral(":/buttons/turn.png"));
    ui->PngSpeedButton4->LoadPng(QStringLiteral(":/buttons/save.png"));
    ui->PngSpeedButton5->LoadPng(QStringLiteral(":/buttons/open.png"));
    ui->NewGameButton->LoadPng(QStringLiteral(":/buttons/newgame.png"));
    // Reachable with Tab, so that the focus it takes when a game ends shows.
    ui->NewGameButton->setFocusPolicy(Qt::TabFocus);
    const auto ctrl = [](int Key) { return QKeySequence(Qt::CTRL | Key); };
    BindShortcuts(ui->PngSpeedButton1, tr(TakeBackName), {ctrl(Qt::Key_Z)});
    BindShortcuts(ui->PngSpeedButton2, tr(ReplayName),
                  {ctrl(Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    BindShortcuts(ui->PngSpeedButton6, tr(SnapshotName), {ctrl(Qt::Key_P), QKeySequence(Qt::Key_F12)});
    BindShortcuts(ui->PngSpeedButton3, tr(TurnName), {ctrl(Qt::Key_R)});
    BindShortcuts(ui->PngSpeedButton4, tr(SaveName), {ctrl(Qt::Key_S)});
    BindShortcuts(ui->NewGameButton, tr(NewGameName), {ctrl(Qt::Key_N)});
    BindShortcuts(ui->PngSpeedButton5, tr(OpenName), {ctrl(Qt::Key_O)});
    ui->ThinkingLabel->setText(GameMessages::ComputerThinkingText());
    QPalette grey = ui->ThinkingLabel->palette();
    grey.setColor(QPalette::WindowText, WinColor(LogColor::Status));
    ui->ThinkingLabel->setPalette(grey);

    TChessBrd& board = Board();
    ApplyMainWindowBoardSettings(board);
    board.OnLegalMove = [this](ChessGame*, Square o, Square n) { ChessBrd1LegalMove(o, n); };
    board.OnCapture = [this](ChessGame*, Square o, Square n, char c) { ChessBrd1Capture(o, n, c); };
    board.OnCheck = [this](ChessGame*, Square o, Square n) { ChessBrd1Check(o, n); };
    board.OnMate = [this](ChessGame*, Square o, Square n) { ChessBrd1Mate(o, n); };
    board.OnStaleMate = [this](ChessGame*, Square o, Square n) { ChessBrd1StaleMate(o, n); };
    board.OnThreefoldPosition = [this](ChessGame*) { ChessBrd1ThreefoldPosition(); };
    board.OnThinkingChanged = [this](TChessBrd*, bool Thinking) { ComputerThinkingChanged(Thinking); };
    board.OnInputRefused = [this](TChessBrd*, Square, TChessBrd::InputRefusal Reason) {
        if (Reason == TChessBrd::InputRefusal::ComputersTurn) InputRefused();
    };

    // Save dialogs ask before overwriting; the open dialog takes existing files only.
    const auto dialog = [](const QString& Title, const QString& Filter, const QString& Suffix, bool Save) {
        FileDialogRequest request;
        request.Title = Title;
        request.Filter = Filter;
        request.DefaultSuffix = Suffix;
        request.Save = request.ConfirmOverwrite = Save;
        request.MustExist = !Save;
        return request;
    };
    // .pos stays the default; the suffix of the chosen name decides the format.
    SaveDialog1 = dialog(tr("Сохранение игры"), tr(PositionFilter) + QStringLiteral(";;") + tr(PgnFilter),
                         QStringLiteral("pos"), true);
    OpenDialog1 = dialog(tr("Загрузка игры"),
                         QStringList{tr(GamesFilter), tr(PositionFilter), tr(PgnFilter), tr(FenFilter)}.join(
                             QStringLiteral(";;")),
                         QStringLiteral("pos"), false);
    SavePictureDialog1 = dialog(tr(SnapshotName), tr("Bitmaps (*.bmp)"), QStringLiteral("bmp"), true);

    connect(ui->RadioButton1, &QRadioButton::toggled, this, [this] { RadioButton1Click(); });
    connect(ui->RadioButton2, &QRadioButton::toggled, this, [this] { RadioButton1Click(); });
    connect(ui->PngSpeedButton5, &QToolButton::clicked, this, [this] { PngSpeedButton5Click(); });
    connect(ui->Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(ui->PngSpeedButton1, &QToolButton::clicked, this, [this] { PngSpeedButton1Click(); });
    connect(ui->PngSpeedButton2, &QToolButton::clicked, this, [this] { PngSpeedButton2Click(); });
    connect(ui->PngSpeedButton3, &QToolButton::clicked, this, [this] { PngSpeedButton3Click(); });
    connect(ui->PngSpeedButton4, &QToolButton::clicked, this, [this] { PngSpeedButton4Click(); });
    connect(ui->PngSpeedButton6, &QToolButton::clicked, this, [this] { PngSpeedButton6Click(); });
    connect(ui->NewGameButton, &QToolButton::clicked, this, [this] { NewGameButtonClick(); });

    CreateRecordActions();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = rect();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

LogView* TForm1::RichEdit1() const {
    // Made on behalf of a query too: the log belongs to the window, whoever asks first.
    return FRichEdit1 ? FRichEdit1 : const_cast<TForm1*>(this)->MakeLog();
}

// Where the form would have put it: over the start panel, after its button in the focus chain, hidden
// until a game starts.
LogView* TForm1::MakeLog() {
    auto* log = new LogView(this);
    log->setObjectName(QStringLiteral("RichEdit1"));
    log->setGeometry(376, 4, 176, 314);
    log->hide();
    QWidget::setTabOrder(ui->Button1, log);
    log->setFont(TahomaFont(11));
    // A log is read, not edited: no caret.
    log->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(log, &QPlainTextEdit::textChanged, this, [this] { RichEdit1Change(); });
    log->addActions(FRecordActions);
    log->setContextMenuPolicy(Qt::ActionsContextMenu);
    CopyKeyPassThrough::Install(log);
    FRichEdit1 = log;
    LogStartLines();
    return log;
}

void TForm1::LogStartLines() {
    LogMessage(Caption, LogColor::Status);
    LogMessage(QStringLiteral("https://gambitron.example.org"), LogColor::Status);
    LogMessage(QStringLiteral("© 2026 Gambitron"), LogColor::Status);
}

void TForm1::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TForm1::paintEvent(QPaintEvent* e) {
    QWidget::paintEvent(e);
    FormPaint();
}

void TForm1::closeEvent(QCloseEvent* e) {
    bool canClose = true;
    FormCloseQuery(canClose);
    e->setAccepted(canClose);
}

void TForm1::FormActivate() {
    DrawMove();
}

void TForm1::FormPaint() {
    DrawMove();
}

void TForm1::FormCloseQuery(bool& CanClose) {
    // Halting the engine waits for it, and the engine waits for a move in progress: close afterwards.
    if (MoveInProgress()) {
        CanClose = false;
        WhenNoMoveInProgress([this] { close(); });
        return;
    }
    Board().SetComputerPlaysBlack(false);
    Board().SetComputerPlaysWhite(false);
    CanClose = true;
}

void TForm1::RadioButton1Click() {
    NewGameSelected = ui->RadioButton1->isChecked();
    ui->Label1->setEnabled(NewGameSelected);
    ui->Label2->setEnabled(NewGameSelected);
    ui->ComboBox1->setEnabled(NewGameSelected);
    ui->ComboBox2->setEnabled(NewGameSelected);
    ui->PngSpeedButton5->setEnabled(ui->RadioButton2->isChecked());
    ui->Label3->setEnabled(ui->RadioButton2->isChecked());
}

void TForm1::PngSpeedButton5Click() {
    FileDialogRequest request = OpenDialog1;
    request.Directory = Dialogs::DocumentsFolder();
    request.FileName.clear();
    const QString chosen = Dialogs::GetFileName(this, request);
    // A cancelled dialog keeps the earlier choice, so the label never names a file that would not load.
    if (chosen.isEmpty()) return;
    OpenDialog1.FileName = chosen;
    ui->Label3->setText(QFileInfo(chosen).fileName());
}

void TForm1::Button1Click() {
    if (NewGameSelected) {
        TChessBrd& board = Board();
        const bool computerWhite = ui->ComboBox1->currentIndex() == 0;
        board.SetSearchDepth(ui->ComboBox2->currentIndex() + 1);
        board.SetWhiteOnTop(computerWhite);
        board.NewGame();
        FStartMove = board.GetCurrentMove();
        FStartWhite = board.GetWhiteToMove();
        FRecord.Begin(FStartMove, FStartWhite);
        board.SetComputerPlaysBlack(!computerWhite);
        board.SetComputerPlaysWhite(computerWhite);
    } else if (!LoadPosition()) {
        return;
    }
    ShowGameControls();
}

void TForm1::ShowGameControls() {
    // The board takes the focus before the panel with the start button goes: hiding a focused button hands
    // the focus on as Tab does, and the board would show its keyboard cursor although no key was pressed.
    Board().setFocus(Qt::OtherFocusReason);
    ui->TabControl1->hide();
    RichEdit1()->show();
    for (TPngSpeedButton* b : {ui->PngSpeedButton1, ui->PngSpeedButton2, ui->PngSpeedButton3,
                               ui->PngSpeedButton4, ui->PngSpeedButton6, ui->NewGameButton})
        b->show();
    UpdateHistoryButtons();
    FInGame = true;
    // A saved game may stand at its end already: then the way on is a new game, as after any ending.
    FGameEnded = false;
    if (Board().HasLegalMove())
        FollowComputerTurn();
    else
        GameEnded();
}

void TForm1::NewGameButtonClick() {
    WhenNoMoveInProgress([this] {
        if (!FInGame) return;
        if (GameRunning() && !Dialogs::Ask(this, tr(NewGameName), tr("Прервать эту игру и начать новую?")))
            return;
        ReturnToStartPanel();
    });
}

void TForm1::ReturnToStartPanel() {
    TChessBrd& board = Board();
    board.SetComputerPlaysBlack(false);
    board.SetComputerPlaysWhite(false);
    board.ResetGame();
    board.SetPositionString(QString(64, QChar(u' ')));
    board.SetWhiteOnTop(false);
    LastMoveFrom = LastMoveTo = None;
    EarlyTakeBack = false;
    FStartMove = 1;
    FStartWhite = true;
    FInGame = false;
    FGameEnded = false;
    ComputerThinkingChanged(false);
    for (TPngSpeedButton* b : {ui->PngSpeedButton1, ui->PngSpeedButton2, ui->PngSpeedButton3,
                               ui->PngSpeedButton4, ui->PngSpeedButton6, ui->NewGameButton})
        b->hide();
    RichEdit1()->hide();
    RichEdit1()->clear();
    LogStartLines();
    ui->TabControl1->show();
    ui->Button1->setFocus();
}

void TForm1::GameEnded() {
    FGameEnded = true;
    FollowComputerTurn();
    LogMessage(GameMessages::NewGameHint(), LogColor::Status);
    ui->NewGameButton->setFocus();
}

// The board reports each change of its search; this catches up where the window itself changed the game.
void TForm1::FollowComputerTurn() {
    // Set from the search as it stands, changed or not: a search the board reported before the game was shown
    // (a loaded game where the computer is to move) left the line hidden.
    ComputerThinkingChanged(Board().Searching());
}

void TForm1::ComputerThinkingChanged(bool Thinking) {
    FComputerThinking = Thinking;
    ui->ThinkingLabel->setVisible(Thinking && FInGame);
}

void TForm1::InputRefused() {
    // A press hides the keyboard cursor, so a cursor still shown means the keys tried the move.
    GameMessages::ShowRefusalHint(Board(), GameMessages::ComputersTurnText(), Board().KeyboardCursorShown());
}

bool TForm1::StartWithFile(const QString& FileName) {
    ui->RadioButton2->setChecked(true);
    RadioButton1Click();
    OpenDialog1.FileName = QFileInfo(FileName).absoluteFilePath();
    ui->Label3->setText(QFileInfo(FileName).fileName());
    Button1Click();
    return ui->TabControl1->isHidden();
}

void TForm1::RichEdit1Change() {
    RichEdit1()->ensureCursorVisible();
}

void TForm1::LogMessage(const QString& Text, std::uint32_t Color) {
    RichEdit1()->LogMessage(Text, WinColor(Color));
}

void TForm1::DrawMove() {
    // During the slide the canvas belongs to the moving piece; the move's own handler frames it after.
    if (Board().Sliding()) return;
    DrawLastMoveFrames(Board(), LastMoveFrom, LastMoveTo);
}

void TForm1::PlaySound(const QString& Name) {
    if (ui->CheckBox1->isChecked() && Sound::HasOutputDevice()) Sound::Play(Name);
}

bool TForm1::WhiteMoved(Square Sq) const {
    return Board().PieceColor(Sq) == 1;
}

void TForm1::ChessBrd1LegalMove(Square oldSq, Square newSq) {
    ++FMovesPlayed;
    PlaySound(QStringLiteral("MOVE"));
    EarlyTakeBack = false;
    LastMoveFrom = oldSq;
    LastMoveTo = newSq;
    DrawMove();
    LogMessage(GameMessages::MoveLine(oldSq, newSq),
               WhiteMoved(newSq) ? LogColor::WhiteMove : LogColor::BlackMove);
    UpdateHistoryButtons();
    // Its end, if it ends the game, follows in the board's next events.
    FGameEnded = false;
    FollowComputerTurn();
}

void TForm1::ChessBrd1Capture(Square, Square newSq, char CapturedPiece) {
    LogMessage(GameMessages::CaptureText(WhiteMoved(newSq), CapturedPiece), LogColor::Event);
}

void TForm1::ChessBrd1Check(Square, Square newSq) {
    LogMessage(GameMessages::CheckText(Board().PieceColor(newSq) != 0), LogColor::Event);
}

void TForm1::ChessBrd1Mate(Square, Square newSq) {
    LogMessage(GameMessages::MateText(Board().PieceColor(newSq) != 0), LogColor::Event);
    PlaySound(QStringLiteral("MATE"));
    GameEnded();
}

void TForm1::ChessBrd1StaleMate(Square, Square newSq) {
    LogMessage(GameMessages::StaleMateText(Board().PieceColor(newSq) != 0), LogColor::Event);
    PlaySound(QStringLiteral("MATE"));
    GameEnded();
}

void TForm1::ChessBrd1ThreefoldPosition() {
    LogMessage(GameMessages::ThreefoldText(), LogColor::Event);
    PlaySound(QStringLiteral("MATE"));
    GameEnded();
}

void TForm1::WhenNoMoveInProgress(std::function<void()> Action) {
    Board().AfterMove(std::move(Action));
}

TForm1::Step TForm1::TakeBackStep() const {
    const TChessBrd& board = Board();
    const int n = board.GetCurrentMove();
    const bool computerBlack = board.GetComputerPlaysBlack();
    // Back to the person's turn with the person's last move undone: two half-moves when the computer has
    // replied already, one while it is still to move.
    if (board.GetWhiteToMove())
        return computerBlack ? Step{n - 1, true, n - 2, false} : Step{n - 1, false, n - 1, true};
    return computerBlack ? Step{n, true, n - 1, false} : Step{n - 1, false, n - 1, true};
}

TForm1::Step TForm1::ReplayStep() const {
    const TChessBrd& board = Board();
    const int n = board.GetCurrentMove();
    // The frames then mark the computer's move that the step replays.
    return board.GetComputerPlaysBlack() ? Step{n + 1, true, n, false} : Step{n + 1, false, n + 1, true};
}

bool TForm1::InRecordedSpan(int Move, bool White) const {
    // Never before the position the game started from, even where the board's history reaches further.
    return EntryOrder(Move, White) >= EntryOrder(FStartMove, FStartWhite) &&
           !Board().OutsideRecordedSpan(Move, White);
}

void TForm1::UpdateHistoryButtons() {
    const Step back = TakeBackStep();
    const Step forward = ReplayStep();
    ui->PngSpeedButton1->setEnabled(InRecordedSpan(back.Move, back.White));
    ui->PngSpeedButton2->setEnabled(InRecordedSpan(forward.Move, forward.White));
}

bool TForm1::StepThroughHistory(const Step& Target) {
    TChessBrd& board = Board();
    if (InRecordedSpan(Target.Move, Target.White) && board.GotoMove(Target.Move, Target.White)) return true;
    // Nothing happened: the computer, if it is its turn, goes on thinking.
    const bool computersTurn =
        board.GetWhiteToMove() ? board.GetComputerPlaysWhite() : board.GetComputerPlaysBlack();
    if (computersTurn) board.StartThinking();
    UpdateHistoryButtons();
    return false;
}

// What a take-back or replay that the board carried out shows: its sound, the frames of the move that led to
// the position now on the board, and its log line.
void TForm1::ShowHistoryStep(const Step& Target, const QString& Line) {
    PlaySound(QStringLiteral("CHAT"));
    MoveInfo info;
    Board().GetMoveInfo(Target.InfoMove, Target.InfoWhite, info);
    LastMoveFrom = info.OldSq;
    LastMoveTo = info.NewSq;
    DrawMove();
    LogMessage(Line, LogColor::Undo);
    UpdateHistoryButtons();
    FGameEnded = !Board().HasLegalMove();
    FollowComputerTurn();
}

void TForm1::PngSpeedButton1Click() {
    WhenNoMoveInProgress([this] {
        TChessBrd& board = Board();
        // The engine may still hand over a move while it stops; the step is chosen from what stands then.
        board.StopThinking();
        const bool early =
            board.GetWhiteToMove() && board.GetComputerPlaysWhite() && !ui->PngSpeedButton2->isEnabled();
        const Step target = TakeBackStep();
        if (!StepThroughHistory(target)) return;
        if (early) EarlyTakeBack = true;
        ShowHistoryStep(target, tr(TakeBackName));
    });
}

void TForm1::PngSpeedButton2Click() {
    WhenNoMoveInProgress([this] {
        TChessBrd& board = Board();
        board.StopThinking();
        const Step target = ReplayStep();
        if (!StepThroughHistory(target)) return;
        ShowHistoryStep(target, tr(ReplayName));
        const int current = board.GetCurrentMove(), last = board.LastMove();
        if ((EarlyTakeBack && last == current + 1) || (!EarlyTakeBack && current == last))
            ui->PngSpeedButton2->setEnabled(false);
    });
}

void TForm1::PngSpeedButton3Click() {
    WhenNoMoveInProgress([this] {
        Board().SetWhiteOnTop(!Board().GetWhiteOnTop());
        LogMessage(tr("Поворот доски"), LogColor::Status);
    });
}

QString TForm1::DatedFileName(const QString& Extension) const {
    return QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yy @ hh-mm")) + Extension;
}

QImage TForm1::GrabWindow() {
    // The whole outer rectangle, frame and title included, can only be read from the screen, and only
    // while this window is in front; otherwise the window's own picture is taken.
    QScreen* screen = this->screen();
    if (screen && isActiveWindow() && QGuiApplication::platformName() == QStringLiteral("xcb")) {
        const QRect outer = frameGeometry();
        const QImage shot =
            screen->grabWindow(0, outer.x(), outer.y(), outer.width(), outer.height()).toImage();
        if (!shot.isNull()) return shot;
    }
    return grab().toImage();
}

void TForm1::PngSpeedButton6Click() {
    WhenNoMoveInProgress([this] {
        QCoreApplication::processEvents();
        const QImage shot = GrabWindow();
        FileDialogRequest request = SavePictureDialog1;
        request.Directory = Dialogs::DocumentsFolder();
        request.FileName = DatedFileName(QStringLiteral(".bmp"));
        const QString name = Dialogs::GetFileName(this, request);
        if (name.isEmpty()) return;
        SavePictureDialog1.FileName = name;
        if (shot.isNull() || !shot.save(name, "BMP")) {
            Dialogs::Warning(
                this, tr("Ошибка записи"),
                tr("Не удалось сохранить снимок игры в файл \"%1\".").arg(QDir::toNativeSeparators(name)));
            return;
        }
        LogMessage(tr("Снимок игры сохранен"), LogColor::Status);
    });
}

void TForm1::PngSpeedButton4Click() {
    WhenNoMoveInProgress([this] {
        FileDialogRequest request = SaveDialog1;
        request.Directory = Dialogs::DocumentsFolder();
        request.FileName = DatedFileName(QStringLiteral(".pos"));
        const QString name = Dialogs::GetFileName(this, request);
        if (name.isEmpty()) return;
        SaveDialog1.FileName = name;
        // Written in the form the start panel reads for the suffix: PGN and FEN by name, else a saved game.
        const QString suffix = QFileInfo(name).suffix().toLower();
        const bool saved = suffix == QStringLiteral("pgn") ? SavePgn(name)
                           : BoardRecord::IsFenName(name)
                               ? BoardRecord::SaveFen(name, CurrentFen())
                               : SavedGame::Save(name, Board(), LastMoveFrom, LastMoveTo, Caption);
        if (!saved) {
            Dialogs::Warning(this, tr("Ошибка записи"),
                             tr("Не удалось сохранить игру в файл \"%1\".\rВозможно сам файл или его каталог "
                                "доступены только для чтения.")
                                 .arg(QDir::toNativeSeparators(name)));
            return;
        }
        LogMessage(tr("Игра сохранена"), LogColor::Status);
    });
}

bool TForm1::LoadPosition() {
    // Asked of the dialog, not of the label, whose text follows the language.
    if (OpenDialog1.FileName.isEmpty()) {
        Dialogs::Warning(this, tr("Файл не указан"), tr("Файл с игрой не указан"));
        PngSpeedButton5Click();
        return false;
    }
    const QString name = OpenDialog1.FileName;
    if (name.isEmpty() || !QFileInfo(name).isFile()) {
        Dialogs::Warning(this, tr("Ошибка загрузки"),
                         tr("Указанный файл не найден.\rВозможно он был удален."));
        PngSpeedButton5Click();
        return false;
    }
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix == QStringLiteral("pgn") || BoardRecord::IsFenName(name)) return LoadRecordFile(name);
    IniFile file(name);
    // An unreadable file reads as empty, and so as damaged.
    file.Load();
    if (file.ReadString(SavedGame::Section, "GameVersion", SavedGame::NoVersion) == SavedGame::NoVersion ||
        !SavedGame::IsPlayable(file, Board())) {
        Dialogs::Warning(this, tr("Ошибка загрузки"), tr("Файл с игрой поврежден.\rЗагрузка невозможна."));
        PngSpeedButton5Click();
        return false;
    }
    LogMessage(tr("Игра загружена"), LogColor::Status);

    TChessBrd& board = Board();
    const int movesBefore = FMovesPlayed;
    // Taken before the settings reach the board: halting the engine for the last of them lets a computer
    // that was quick move already.
    FStartMove = board.GetCurrentMove();
    FStartWhite = file.ReadBool(SavedGame::Section, "WhiteToMove", board.GetWhiteToMove());
    FRecord.Begin(FStartMove, FStartWhite);
    SavedGame::ApplySettings(file, board);
    if (board.GetComputerPlaysWhite()) LogMessage(tr("Компьютер играет белыми"), LogColor::Status);
    if (board.GetComputerPlaysBlack()) LogMessage(tr("Компьютер играет черными"), LogColor::Status);

    const QByteArray lastMove = file.ReadString(SavedGame::Section, "LastMove", SavedGame::NoLastMove);
    // A computer that has moved already has framed its own move; the file's would be older.
    if (lastMove != SavedGame::NoLastMove && FMovesPlayed == movesBefore) {
        SavedGame::ParseLastMove(lastMove, LastMoveFrom, LastMoveTo);
        DrawMove();
    }
    return true;
}
