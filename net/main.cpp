// TForm1: construction and layout, the play modes, the log, the move list, the board's events and what
// network play reports.
#include "main.h"

#include "BoardSettings.h"
#include "ButtonShortcuts.h"
#include "ChatLineValidator.h"
#include "ChessBrd.h"
#include "CopyKeyPassThrough.h"
#include "Dialogs.h"
#include "GameDiscovery.h"
#include "GameMessages.h"
#include "LastMoveFrames.h"
#include "Sound.h"
#include "WinColor.h"
#include "Wire.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QTextBlock>

#include <exception>
#include <utility>

namespace {

const QColor StatusColor = WinColor(LogColor::Status);
const QColor EventColor = WinColor(LogColor::Event);
const QColor CommandColor = WinColor(LogColor::Command);
const QColor WhiteSideColor = WinColor(LogColor::WhiteMove);
const QColor BlackSideColor = WinColor(LogColor::BlackMove);

const char* const HelpText = QT_TRANSLATE_NOOP(
    "TForm1", "\rПрограмма Gambitron позволяет играть в шахматы тремя разными способами: с компьютером, "
              "вдвоем по сети, а также вдвоем за одним компьютером. \rПри игре с компьютером можно "
              "задать глубину просчета ходов: чем выше это значение, тем дольше он будет думать над "
              "каждым ходом. ");
//: %1 is the program's version.
const char* const AboutText = QT_TRANSLATE_NOOP(
    "TForm1",
    "\rВерсия: Gambitron %1\rhttps://gambitron.example.org/\r© Авторы Gambitron. Все права защищены.");

const char* const WelcomeLines[] = {QT_TRANSLATE_NOOP("TForm1", "Добро пожаловать в Gambitron!"),
                                    QT_TRANSLATE_NOOP("TForm1", "Информация об авторе - /about."),
                                    QT_TRANSLATE_NOOP("TForm1", "Краткая справка - /help.")};

// The log keeps this many paragraphs, so a flood of chat cannot fill the memory.
constexpr int MaxLogLines = 5000;
// A chat line arriving within this time of the previous one belongs to the same burst.
constexpr int ChatBurstMs = 1000;

} // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
    // Before the children exist, so that they are made in it: set afterwards, the change would run through
    // every one of them, and each combo box would build its drop-down list at once.
    setFont(TahomaFont());
    setupUi(this);
    setWindowTitle(QStringLiteral("Gambitron " GAMBITRON_VERSION));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(592, 384);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    OwnColor = BlackSideColor;
    PeerColor = WhiteSideColor;

    QFont title = TahomaFont(19);
    Label1->setFont(title);
    QPalette brown = Label1->palette();
    brown.setColor(QPalette::WindowText, CommandColor);
    Label1->setPalette(brown);
    for (QRadioButton* r : {RadioButton1, RadioButton2, RadioButton3}) r->setFont(TahomaFont(11, true));

    ApplyMainWindowBoardSettings(*ChessBrd1);
    // A move made with the mouse leaves the keyboard with the chat line; Tab takes it to the board's cursor.
    ChessBrd1->setFocusPolicy(Qt::TabFocus);
    ChessBrd1->OnLegalMove = [this](ChessGame* s, Square a, Square b) { ChessBrd1LegalMove(s, a, b); };
    ChessBrd1->OnCheck = [this](ChessGame* s, Square a, Square b) { ChessBrd1Check(s, a, b); };
    ChessBrd1->OnMate = [this](ChessGame* s, Square a, Square b) { ChessBrd1Mate(s, a, b); };
    ChessBrd1->OnStaleMate = [this](ChessGame* s, Square a, Square b) { ChessBrd1StaleMate(s, a, b); };
    ChessBrd1->OnThreefoldPosition = [this](ChessGame* s) { ChessBrd1ThreefoldPosition(s); };
    ChessBrd1->OnCapture = [this](ChessGame* s, Square a, Square b, char p) { ChessBrd1Capture(s, a, b, p); };

    ComboBox1->setCurrentIndex(1);
    // What addresses and host names are made of (IPv6 with its brackets and zone), while editing keys and
    // paste keep working.
    Edit1->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9A-Za-z.:\\-\\[\\]%_]*")), Edit1));
    connect(SpinBox1, &QSpinBox::valueChanged, this,
            [this](int Port) { FPort = static_cast<quint16>(Port); });

    Edit2->installEventFilter(this);
    // The chat line takes only what the peer's screen will show: characters of the wire's code page, and
    // no more than a line of the longest chat text.
    Edit2->setMaxLength(static_cast<int>(Wire::MaxChatText));
    auto* chatValidator = new ChatLineValidator(Edit2);
    Edit2->setValidator(chatValidator);
    connect(Edit2, &QLineEdit::inputRejected, this, [this, chatValidator] {
        if (!chatValidator->Refused().isEmpty())
            RefuseCharacter(chatValidator->Refused());
        else
            RefuseLength();
    });

    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    // The three modes form one group. Left to auto-exclusivity, which also counts the server and client
    // choices nested in the same frame, a second change of mode left two modes checked, and a click on the
    // checked mode cleared it, so that "Начать игру" started nothing.
    auto* modes = new QButtonGroup(this);
    for (QRadioButton* r : {RadioButton1, RadioButton2, RadioButton3}) modes->addButton(r);
    for (QRadioButton* r : {RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5})
        connect(r, &QRadioButton::clicked, this, &TForm1::RadioButton1Click);

    // The games found on the network, kept current; picking one fills in its address and port.
    FDiscovery = new GameDiscovery(this);
    ComboBox6->setPlaceholderText(tr("нет"));
    connect(FDiscovery, &GameDiscovery::GamesChanged, this, &TForm1::ShowFoundGames);
    connect(ComboBox6, &QComboBox::activated, this, [this](int Index) {
        Edit1->setText(ComboBox6->itemData(Index, AddressRole).toString());
        SpinBox1->setValue(ComboBox6->itemData(Index, PortRole).toInt());
    });

    // The chat line keeps the keyboard; the button is for the mouse and Ctrl+N.
    NewGameButton->setFocusPolicy(Qt::NoFocus);
    BindShortcuts(NewGameButton, tr("Новая игра"), {QKeySequence(Qt::CTRL | Qt::Key_N)});
    connect(NewGameButton, &QPushButton::clicked, this, &TForm1::NewGameButtonClick);
    ThinkingLabel->setText(GameMessages::ComputerThinkingText());
    QPalette grey = ThinkingLabel->palette();
    grey.setColor(QPalette::WindowText, StatusColor);
    ThinkingLabel->setPalette(grey);
    ChessBrd1->OnThinkingChanged = [this](TChessBrd*, bool Thinking) { ComputerThinkingChanged(Thinking); };
    ChessBrd1->OnInputRefused = [this](TChessBrd*, Square, TChessBrd::InputRefusal Reason) {
        // A press hides the keyboard cursor, so a cursor still shown means the keys tried the move.
        if (Reason == TChessBrd::InputRefusal::ComputersTurn) InputRefused(ChessBrd1->KeyboardCursorShown());
    };
    // On the opponent's turn the board's panel is disabled and the board handles no press at all. The hint
    // follows the release once it has passed up the window, since a tooltip goes away with a release.
    ChessBrd1->installEventFilter(this);

    CreateRecordActions();
}

TForm1::~TForm1() {
    // Sockets and the board outlive this part of the window while the base classes tear down: nothing of
    // theirs may call back into it.
    DetachWindowHandlers(*ChessBrd1);
    delete FNetwork;
}

QTableWidget* TForm1::ListView1() const {
    // Made on behalf of a query too: the list belongs to the window, whoever asks first.
    return FListView1 ? FListView1 : const_cast<TForm1*>(this)->MakeMoveList();
}

// Where the form would have put it: beside the board, after the panel's button and before the log in the
// focus chain, hidden until a game starts.
QTableWidget* TForm1::MakeMoveList() {
    auto* list = new QTableWidget(this);
    list->setObjectName(QStringLiteral("ListView1"));
    list->setGeometry(384, 8, 200, 107);
    list->hide();
    QWidget::setTabOrder(Button1, list);
    list->setColumnCount(3);
    list->setHorizontalHeaderLabels({tr("Ход"), tr("Белые"), tr("Черные")});
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(17);
    list->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->horizontalHeader()->setSectionsClickable(false);
    list->setColumnWidth(0, 35);
    list->setColumnWidth(1, 65);
    list->setColumnWidth(2, 65);
    list->setShowGrid(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    list->addActions(FRecordActions);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
    FListView1 = list;
    return list;
}

LogView* TForm1::RichEdit1() const {
    return FRichEdit1 ? FRichEdit1 : const_cast<TForm1*>(this)->MakeLog();
}

// Where the form would have put it: under the list, after it in the focus chain, hidden until a game
// starts.
LogView* TForm1::MakeLog() {
    auto* log = new LogView(this);
    log->setObjectName(QStringLiteral("RichEdit1"));
    log->setGeometry(384, 119, 200, 206);
    log->hide();
    // As the form set it up: read-only the form's way, which leaves the text to the mouse, so that Tab
    // passes the log by.
    log->setReadOnly(true);
    log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QWidget::setTabOrder(FListView1 ? static_cast<QWidget*>(FListView1) : Button1, log);
    log->setFont(TahomaFont());
    QPalette green = log->palette();
    green.setColor(QPalette::Text, WinColor(LogColor::Welcome));
    log->setPalette(green);
    log->setMaximumBlockCount(MaxLogLines);
    log->SetTimeStamps(false);
    for (const char* line : WelcomeLines) log->LogMessage(tr(line), WinColor(LogColor::Welcome));
    log->SetTimeStamps(true);
    CopyKeyPassThrough::Install(log);
    FRichEdit1 = log;
    return log;
}

QTcpSocket* TForm1::ClientSocket1() const {
    NetworkPlay* network = const_cast<TForm1*>(this)->LoadNetwork();
    return network ? network->Client() : nullptr;
}

bool TForm1::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return QWidget::event(e);
}

void TForm1::paintEvent(QPaintEvent* e) {
    QWidget::paintEvent(e);
    FormPaint();
}

void TForm1::closeEvent(QCloseEvent* e) {
    // The window closes once the move under way has completed: its slide and events still use the board.
    if (ChessBrd1->MoveInProgress()) {
        e->ignore();
        ChessBrd1->AfterMove([this] { close(); });
        return;
    }
    FormCloseQuery();
    e->accept();
}

bool TForm1::eventFilter(QObject* watched, QEvent* e) {
    if (watched == ChessBrd1 &&
        (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonRelease)) {
        const bool outOfTurn = !BoardPanel->isEnabled() && Phase() == NetPhase::Playing &&
                               ChessBrd1->GetWhiteToMove() != PlayingWhite;
        if (e->type() == QEvent::MouseButtonPress)
            FPressOutOfTurn = outOfTurn;
        else if (std::exchange(FPressOutOfTurn, false) && outOfTurn)
            QMetaObject::invokeMethod(
                this, [this] { InputRefused(false); }, Qt::QueuedConnection);
    }
    if (watched == Edit2) {
        if (e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(e)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                Edit2KeyPress();
                return true;
            }
        } else if (e->type() == QEvent::FocusOut) {
            Edit2Exit();
        }
    }
    // A board that goes out of play under the keyboard (the opponent's turn, the game's end) gives it back.
    if (watched == ChessBrd1 && e->type() == QEvent::FocusOut && !ChessBrd1->isEnabled()) Edit2Exit();
    return QWidget::eventFilter(watched, e);
}

// Not while a move is under way: a full paint then would show the model half-way through the move.
void TForm1::FormActivate() {
    if (ChessBrd1->MoveInProgress()) return;
    ChessBrd1->Paint();
    DrawMove();
}

// The board is opaque, so repainting it from here does not bring the window's paint back.
void TForm1::FormPaint() {
    if (!GameStarted || ChessBrd1->MoveInProgress()) return;
    ChessBrd1->Paint();
    DrawMove();
}

void TForm1::FormCloseQuery() {
    ChessBrd1->SetComputerPlaysBlack(false);
    ChessBrd1->SetComputerPlaysWhite(false);
}

void TForm1::RadioButton1Click() {
    const bool computer = RadioButton1->isChecked();
    const bool network = RadioButton2->isChecked();
    const bool twoPlayers = RadioButton3->isChecked();
    const bool server = RadioButton4->isChecked();
    const bool client = RadioButton5->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{Label2, Label3, ComboBox1, ComboBox2})
        w->setEnabled(computer);
    RadioButton4->setEnabled(network);
    RadioButton5->setEnabled(network);
    Edit1->setVisible(client);
    ComboBox5->setVisible(server);
    Label4->setEnabled(network);
    if (server) Label4->setText(tr("Мои IP-адреса:"));
    if (client) Label4->setText(tr("Адрес сервера:"));
    Edit1->setEnabled(network);
    ComboBox5->setEnabled(network);
    ComboBox3->setEnabled(network && server);
    Label7->setEnabled(network);
    SpinBox1->setEnabled(network);
    // The client's side of the row lists the games found instead of the side, which only the server picks.
    ComboBox3->setVisible(server);
    ComboBox6->setVisible(client);
    // The drop-down is wider than the box, for the games' names; set once the box shows, since asking for
    // it builds the drop-down, which a start on the panel never opens.
    if (client) ComboBox6->view()->setMinimumWidth(180);
    ComboBox6->setEnabled(network);
    Label5->setEnabled(network);
    Label5->setText(client ? tr("Игры в сети:") : tr("Сторона:"));
    Label5->move(client ? ComboBox6->x() : ComboBox3->x(), Label5->y());
    Label6->setEnabled(twoPlayers);
    ComboBox4->setEnabled(twoPlayers);
    // Only network play needs the addresses, and with them its module.
    if (network && server) {
        ComboBox5->clear();
        NetworkPlay* play = LoadNetwork();
        const QString addresses = play ? play->LocalIPv4Addresses() : QString();
        if (!addresses.isEmpty()) ComboBox5->addItems(addresses.split(QLatin1Char(',')));
        ComboBox5->setCurrentIndex(0);
    }
}

void TForm1::Button1Click() {
    GameStarted = true;
    TabControl1->hide();
    ListView1()->show();
    RichEdit1()->show();
    NewGameButton->show();
    Edit2->show();
    Edit2->setFocus();

    if (RadioButton1->isChecked()) {
        const bool computerWhite = ComboBox1->currentIndex() == 0;
        LocalGame = true;
        ChessBrd1->SetSearchDepth(ComboBox2->currentIndex() + 1);
        StartGame(computerWhite, computerWhite, !computerWhite);
    } else if (RadioButton2->isChecked()) {
        LocalGame = false;
        if (RadioButton4->isChecked()) {
            ChessBrd1->SetWhiteOnTop(ComboBox3->currentIndex() == 1);
            LogMessage(tr("Запуск сервера..."), StatusColor);
            QCoreApplication::processEvents();
            // A server that could not start leaves nothing to wait for: the log points back to the panel, as
            // after a failed connection.
            if (NetworkPlay* network = LoadNetwork();
                network && network->Listen(FPort, ComboBox3->currentIndex() == 0))
                FPort = network->Port();
            else
                ShowWayToNewGame();
        } else if (NetworkPlay* network = LoadNetwork()) {
            network->Connect(Edit1->text(), FPort);
        }
    } else if (RadioButton3->isChecked()) {
        LocalGame = true;
        StartGame(ComboBox4->currentIndex() == 1, false, false);
    }
}

void TForm1::NewGameButtonClick() {
    ChessBrd1->AfterMove([this] {
        if (!GameStarted) return;
        const QString question = LocalGame ? tr("Прервать эту игру и начать новую?")
                                           : tr("Прервать эту игру и начать новую? Соединение с "
                                                "соперником будет закрыто.");
        if (GameRunning() && !Dialogs::Ask(this, tr("Новая игра"), question)) return;
        ReturnToControlPanel();
    });
}

void TForm1::ShowWayToNewGame() {
    if (!GameStarted || FWayShown) return;
    FWayShown = true;
    LogMessage(GameMessages::NewGameHint(), StatusColor);
    NewGameButton->setDefault(true);
}

// The board reports each change of its search; this catches up where the window itself changed the game.
void TForm1::FollowComputerTurn() {
    // Set from the search as it stands, changed or not: a search the board reported before the game was shown
    // (a loaded game where the computer is to move) left the line hidden.
    ComputerThinkingChanged(ChessBrd1->Searching());
}

void TForm1::ComputerThinkingChanged(bool Thinking) {
    FComputerThinking = Thinking;
    ThinkingLabel->setVisible(Thinking && GameStarted);
}

void TForm1::InputRefused(bool ByKeys) {
    const QString text = LocalGame ? GameMessages::ComputersTurnText() : GameMessages::OpponentsTurnText();
    GameMessages::ShowRefusalHint(*ChessBrd1, text, ByKeys);
}

void TForm1::ShowFoundGames() {
    const QString picked = ComboBox6->currentText();
    const QSignalBlocker blocker(ComboBox6);
    ComboBox6->clear();
    for (const GameDiscovery::Game& game : FDiscovery->Games()) {
        ComboBox6->addItem(game.Name);
        const int at = ComboBox6->count() - 1;
        ComboBox6->setItemData(at, game.Address, AddressRole);
        ComboBox6->setItemData(at, game.Port, PortRole);
        const QString side = game.Side == QStringLiteral("black") ? tr("черными") : tr("белыми");
        ComboBox6->setItemData(
            at, tr("%1: %2 порт %3, сервер играет %4").arg(game.Name, game.Address).arg(game.Port).arg(side),
            Qt::ToolTipRole);
    }
    ComboBox6->setCurrentIndex(ComboBox6->findText(picked));
    ComboBox6->setPlaceholderText(ComboBox6->count() ? tr("выбрать...") : tr("нет"));
}

void TForm1::SetPort(quint16 Port) {
    FPort = Port;
    // Port 0 (the system picks one) is for tests; the field shows what people can type.
    const QSignalBlocker blocker(SpinBox1);
    SpinBox1->setValue(Port);
}

void TForm1::SetServerSide(bool White) {
    ComboBox3->setCurrentIndex(White ? 0 : 1);
}

void TForm1::ReturnToControlPanel() {
    // The move under way completes first: its slide and events still use the board and the lists.
    if (ChessBrd1->MoveInProgress()) {
        ChessBrd1->AfterMove([this] { ReturnToControlPanel(); });
        return;
    }
    if (FNetwork) FNetwork->End();
    ChessBrd1->SetComputerPlaysBlack(false);
    ChessBrd1->SetComputerPlaysWhite(false);
    ChessBrd1->ResetGame();
    ChessBrd1->SetPositionString(QString(64, QChar(u' ')));
    ChessBrd1->SetWhiteOnTop(false);
    BoardPanel->setEnabled(true);
    GameStarted = false;
    LocalGame = false;
    PlayingWhite = false;
    OwnColor = BlackSideColor;
    PeerColor = WhiteSideColor;
    LastMoveFrom = LastMoveTo = None;
    FGameRunning = false;
    FWayShown = false;
    ComputerThinkingChanged(false);
    ListView1()->setRowCount(0);
    for (QWidget* w : std::initializer_list<QWidget*>{ListView1(), RichEdit1(), NewGameButton, Edit2})
        w->hide();
    NewGameButton->setDefault(false);
    TabControl1->show();
    RadioButton1Click();
    Button1->setFocus();
}

void TForm1::StartServer() {
    RadioButton2->setChecked(true);
    RadioButton4->setChecked(true);
    RadioButton1Click();
    Button1Click();
}

void TForm1::StartClient(const QString& Address) {
    RadioButton2->setChecked(true);
    RadioButton5->setChecked(true);
    RadioButton1Click();
    Edit1->setText(Address);
    Button1Click();
}

void TForm1::LogMessage(const QString& Text, const QColor& Color) {
    RichEdit1()->LogMessage(Text, Color);
}

void TForm1::DrawMove() {
    DrawLastMoveFrames(*ChessBrd1, LastMoveFrom, LastMoveTo);
}

void TForm1::ListView1Change() {
    ListView1()->scrollToBottom();
}

void TForm1::ChessBrd1LegalMove(ChessGame*, Square oldSq, Square newSq) {
    // Decided and sent before anything else can run: the move belongs to this game and this opponent.
    const bool localPlayersMove = !LocalGame && ChessBrd1->GetWhiteToMove() == ChessBrd1->GetWhiteOnTop();
    PlaySound(QStringLiteral("MOVE"));
    if (!LocalGame) BoardPanel->setEnabled(ChessBrd1->GetWhiteToMove() == PlayingWhite);
    ChessBrd1->Paint();
    LastMoveFrom = oldSq;
    LastMoveTo = newSq;
    DrawMove();

    const QString text = GameMessages::MoveText(oldSq, newSq);
    const bool whiteMoved = ChessBrd1->PieceColor(newSq) == 1;
    if (whiteMoved || ListView1()->rowCount() == 0) {
        const int row = ListView1()->rowCount();
        ListView1()->insertRow(row);
        ListView1()->setItem(row, 0, new QTableWidgetItem(QString::number(row + 1) + QLatin1Char('.')));
    }
    ListView1()->setItem(ListView1()->rowCount() - 1, whiteMoved ? 1 : 2, new QTableWidgetItem(text));
    ListView1Change();
    FollowComputerTurn();

    if (localPlayersMove && FNetwork) FNetwork->SendLocalMove(oldSq, newSq);
    // The list and the log are painted now; clicks and keys wait, since a drop here would be a move inside
    // this one, and network work waits in Deliver.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForm1::ChessBrd1Check(ChessGame*, Square, Square newSq) {
    LogMessage(GameMessages::CheckText(ChessBrd1->PieceColor(newSq) != 0), EventColor);
}

void TForm1::ChessBrd1Mate(ChessGame*, Square, Square newSq) {
    LogMessage(GameMessages::MateText(ChessBrd1->PieceColor(newSq) != 0), EventColor);
    EndOfGame();
}

void TForm1::ChessBrd1StaleMate(ChessGame*, Square, Square newSq) {
    LogMessage(GameMessages::StaleMateText(ChessBrd1->PieceColor(newSq) != 0), EventColor);
    EndOfGame();
}

void TForm1::ChessBrd1ThreefoldPosition(ChessGame*) {
    LogMessage(GameMessages::ThreefoldText(), EventColor);
    EndOfGame();
}

void TForm1::ChessBrd1Capture(ChessGame*, Square, Square newSq, char CapturedPiece) {
    LogMessage(GameMessages::CaptureText(ChessBrd1->PieceColor(newSq) != 0, CapturedPiece), EventColor);
}

void TForm1::PlaySound(const QString& Name) {
    if (Sound::HasOutputDevice()) Sound::Play(Name);
}

void TForm1::EndOfGame() {
    BoardPanel->setEnabled(false);
    LogMessage(tr("Игра завершена"), StatusColor);
    if (!LocalGame && FNetwork) FNetwork->GameOver();
    FGameRunning = false;
    FollowComputerTurn();
    PlaySound(QStringLiteral("MATE"));
    ShowWayToNewGame();
}

void TForm1::Edit2KeyPress() {
    const QString text = Edit2->text();
    if (text.isEmpty()) return;
    // Text put into the line by other means than typing has not passed its guards; it stays for editing.
    if (QString refused; !Wire::CanEncode(text, &refused)) {
        RefuseCharacter(refused);
        return;
    }
    if (text.size() > Wire::MaxChatText) {
        RefuseLength();
        return;
    }
    // The wire has no escaping: the peer would play the move on its board and leave this one behind.
    if (QString move; (ServerActive() || ClientActive()) && !text.startsWith(QLatin1Char('/')) &&
                      Wire::ChatReadsAsMove(ServerActive(), text, &move)) {
        ChatHint(
            tr("Строка чата не может кончаться текстом хода «%1»: соперник примет его за ход").arg(move));
        return;
    }
    LogMessage(text, OwnColor);
    Edit2->clear();
    // Sent before pending messages run: a line typed meanwhile is handled in there and would leave first.
    if (!text.startsWith(QLatin1Char('/')) && FNetwork) FNetwork->SendChat(text);
    QCoreApplication::processEvents();
    if (text == QStringLiteral("/help"))
        LogMessage(tr(HelpText), CommandColor);
    else if (text == QStringLiteral("/about"))
        LogMessage(tr(AboutText).arg(QStringLiteral(GAMBITRON_VERSION)), CommandColor);
}

void TForm1::RefuseCharacter(const QString& Character) {
    ChatHint(tr("Знак «%1» нельзя передать в чате: его нет в кодировке Windows-1251").arg(Character));
}

void TForm1::RefuseLength() {
    ChatHint(tr("Строка чата не может быть длиннее %1 знаков").arg(Wire::MaxChatText));
}

// One refusal shows one line, however many times the line edit reports it.
void TForm1::ChatHint(const QString& Text) {
    if (RichEdit1()->document()->lastBlock().text().endsWith(QStringLiteral("]: ") + Text)) return;
    LogMessage(Text, StatusColor);
}

// Deferred, so that a message box or another window that took the focus keeps it. The board is the one
// control that keeps the keyboard, for its moves; focus lost to nothing (a focused control disabled) in the
// active window comes back too.
void TForm1::Edit2Exit() {
    QTimer::singleShot(0, this, [this] {
        QWidget* focus = QApplication::focusWidget();
        if (!Edit2->isVisible() || focus == Edit2 || focus == ChessBrd1) return;
        if (focus ? isAncestorOf(focus) : isActiveWindow()) Edit2->setFocus();
    });
}

// ---------------------------------------------------------------------------------------------------------
// What network play reports

NetworkPlay* TForm1::LoadNetwork() {
    if (FNetwork) return FNetwork;
    QString error;
    FNetwork = NetworkPlay::Load(*ChessBrd1, *this, *FDiscovery, this, error);
    if (!FNetwork) {
        qWarning("gambitron: network play cannot be loaded: %s", qUtf8Printable(error));
        NetworkFailure(tr("Сетевая игра недоступна: %1").arg(error));
    }
    return FNetwork;
}

bool TForm1::HoldingNetworkWork() const {
    return ChessBrd1->HoldingWork();
}

void TForm1::NetworkStatus(const QString& Text) {
    LogMessage(Text, StatusColor);
}

void TForm1::NetworkFailure(const QString& Text) {
    Dialogs::ShowMessage(this, QMessageBox::Critical, QStringLiteral("Gambitron"), Text);
}

void TForm1::NetworkGameStarts(bool LocalWhite) {
    PlayingWhite = LocalWhite;
    OwnColor = LocalWhite ? WhiteSideColor : BlackSideColor;
    PeerColor = LocalWhite ? BlackSideColor : WhiteSideColor;
    BoardPanel->setEnabled(LocalWhite);
    LogMessage(LocalWhite ? tr("Вы играете белыми") : tr("Вы играете черными"), StatusColor);
    StartGame(!LocalWhite, false, false);
}

// A fresh game in every mode: the person's side at the bottom, an empty move list, the computer's roles set
// last so that it starts at once when it has white.
void TForm1::StartGame(bool WhiteOnTop, bool ComputerWhite, bool ComputerBlack) {
    LogMessage(tr("Запуск игры..."), StatusColor);
    ChessBrd1->SetWhiteOnTop(WhiteOnTop);
    ListView1()->setRowCount(0);
    // The server's next opponent starts here without the panel between: the last game's frames go too.
    LastMoveFrom = LastMoveTo = None;
    ChessBrd1->NewGame();
    ChessBrd1->SetComputerPlaysBlack(ComputerBlack);
    ChessBrd1->SetComputerPlaysWhite(ComputerWhite);
    LogMessage(tr("Игра запущена"), StatusColor);
    FGameRunning = true;
    FWayShown = false;
    NewGameButton->setDefault(false);
    FollowComputerTurn();
}

// The connection that carried the game is gone: the board takes no more moves.
void TForm1::NetworkGameEnds(const QString& Reason, const QString& Why) {
    LogMessage(Reason, StatusColor);
    if (!Why.isEmpty()) LogMessage(Why, StatusColor);
    BoardPanel->setEnabled(false);
    LogMessage(tr("Игра завершена"), StatusColor);
    FGameRunning = false;
    ShowWayToNewGame();
}

void TForm1::PeerChat(const QString& Text) {
    LogMessage(Text, PeerColor);
    // Lines that follow each other closely are one burst, announced once.
    const bool quiet = !FLastChatLine.isValid() || FLastChatLine.elapsed() >= ChatBurstMs;
    FLastChatLine.start();
    if (quiet) PlaySound(QStringLiteral("CHAT"));
}
