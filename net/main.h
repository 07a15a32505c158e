// TForm1: the main window of gambitron. The board sits at the left; at the right the control panel picks
// one of three play modes (against the computer, over the network, two people at one board) and then
// gives way to the move list, the status and chat log, a line that shows while the computer thinks, the
// new-game button (Ctrl+N, back to the control panel with its choices kept) and the chat line. Network
// play itself lives in NetworkGame; the window shows what it reports and hands it the local player's moves
// and chat lines.
#pragma once
#include "BoardRecord.h"
#include "ChessTypes.h"
#include "Dialogs.h"
#include "LogView.h"
#include "NetworkGameHost.h"
#include "NetworkPlay.h"
#include "ui_main.h"

#include <QColor>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QTimer>
#include <QWidget>

class ChessGame;
class GameDiscovery;
class QTcpSocket;

class TForm1 : public QWidget, public Ui::TForm1, private NetworkGameHost {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    using NetPhase = NetworkPlay::Phase;

    // Window state
    bool GameStarted = false;
    bool LocalGame = false;
    bool PlayingWhite = false;
    QColor OwnColor;
    QColor PeerColor;
    Square LastMoveFrom = None;
    Square LastMoveTo = None;

    // The client's socket, made when first asked for.
    QTcpSocket* ClientSocket1() const;
    // The move list, made when first asked for: a table is a good part of a start that shows only the
    // panel, and it shows once a game starts.
    QTableWidget* ListView1() const;
    // The status and chat log, made when first asked for, opening with the welcome lines: shown once a
    // game starts, like the list.
    LogView* RichEdit1() const;

    // Appends a time-stamped line to the log; a carriage return starts a further line in the same colour.
    void LogMessage(const QString& Text, const QColor& Color);
    // Frames the last move's two squares on the board.
    void DrawMove();

    // The TCP port the server listens on and the client connects to (5000 unless set before starting).
    void SetPort(quint16 Port);
    quint16 Port() const { return FPort; }
    // Starts network play as if chosen in the control panel and "Начать игру" pressed.
    void StartServer();
    // The side the server's player takes, as chosen in the control panel.
    void SetServerSide(bool White);
    // Ends the game in progress, of any mode, and brings back the control panel with the choices as they
    // were. A network game's connection is closed: the opponent sees its usual disconnection lines, and a
    // server stops listening until "Начать игру" starts it again.
    void ReturnToControlPanel();
    void StartClient(const QString& Address);

    // The window's network play, loaded on first need (tests have it linked in), and what tests and the
    // program start ask of it.
    NetworkPlay& Network() { return *LoadNetwork(); }
    GameDiscovery& Discovery() const { return *FDiscovery; }
    bool ServerActive() const { return FNetwork && FNetwork->ServerActive(); }
    bool ClientActive() const { return FNetwork && FNetwork->ClientActive(); }
    NetPhase Phase() const { return FNetwork ? FNetwork->CurrentPhase() : NetPhase::Idle; }
    QTcpSocket* Opponent() const { return FNetwork ? FNetwork->Opponent() : nullptr; }
    void ReceiveFromOpponent(const QByteArray& Bytes) {
        if (NetworkPlay* network = LoadNetwork()) network->ReceiveFromOpponent(Bytes);
    }
    // Whether received network work waits for the move in progress to complete.
    bool HoldingNetworkWork() const;

    // A game is under way and has not ended (mate, stalemate, repetition, a lost connection): leaving it
    // for the control panel asks first.
    bool GameRunning() const { return GameStarted && FGameRunning; }
    // The computer has begun or ended its search; a line beside the new-game button says so meanwhile.
    void ComputerThinkingChanged(bool Thinking);
    bool ComputerThinking() const { return FComputerThinking; }
    // A move was refused because it is the computer's or the opponent's turn: a short hint at the pointer.
    void InputRefused(bool ByKeys);
    // The game as FEN (the position on the board) and PGN, with the players' names of the current mode.
    QString CurrentFen() const;
    QString CurrentPgn() const;
    // "Сохранить партию (PGN)…": its dialog; FileName keeps the last chosen file.
    FileDialogRequest SaveGameDialog;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Controls
    void Button1Click();
    void RadioButton1Click();
    void Edit2KeyPress();
    void Edit2Exit();
    void ListView1Change();
    void FormActivate();
    void FormPaint();
    void FormCloseQuery();
    void NewGameButtonClick();
    // Once a game has ended: the hint to a new game in the log, and the new-game button as the default.
    void ShowWayToNewGame();
    // The board announces no start or end of its search: the window follows whose turn it is instead.
    void FollowComputerTurn();

    // Board events
    void ChessBrd1LegalMove(ChessGame* Sender, Square oldSq, Square newSq);
    void ChessBrd1Check(ChessGame* Sender, Square oldSq, Square newSq);
    void ChessBrd1Mate(ChessGame* Sender, Square oldSq, Square newSq);
    void ChessBrd1StaleMate(ChessGame* Sender, Square oldSq, Square newSq);
    void ChessBrd1ThreefoldPosition(ChessGame* Sender);
    void ChessBrd1Capture(ChessGame* Sender, Square oldSq, Square newSq, char CapturedPiece);
    void EndOfGame();
    // A sound plays only where the system has a wave output device.
    static void PlaySound(const QString& Name);

    // Network play's reports (NetworkGameHost)
    void NetworkStatus(const QString& Text) override;
    void NetworkFailure(const QString& Text) override;
    void PeerChat(const QString& Text) override;
    void NetworkGameStarts(bool LocalWhite) override;
    void NetworkGameEnds(const QString& Reason, const QString& Why) override;

    // Game records (RecordActions.cpp): copy the position and the game, save the game as PGN; in all three
    // modes, from the move list's menu and the window's shortcuts. There is no paste: a game comes from the
    // mode chosen or from the peer.
    void CreateRecordActions();
    QTableWidget* MakeMoveList();
    LogView* MakeLog();
    void CopyFen();
    void CopyPgn();
    void SaveGame();

    void StartGame(bool WhiteOnTop, bool ComputerWhite, bool ComputerBlack);
    void ShowFoundGames();
    static constexpr int AddressRole = Qt::UserRole;
    static constexpr int PortRole = Qt::UserRole + 1;
    void RefuseCharacter(const QString& Character);
    void RefuseLength();
    void ChatHint(const QString& Text);

    quint16 FPort = 5000;
    // Network play, once loaded; null before, and when the module cannot be loaded (the user has been told).
    NetworkPlay* LoadNetwork();
    NetworkPlay* FNetwork = nullptr;
    GameDiscovery* FDiscovery;
    QTableWidget* FListView1 = nullptr;
    LogView* FRichEdit1 = nullptr;
    // The record actions, which the move list offers in its menu once it is made.
    QList<QAction*> FRecordActions;
    // When the last chat line arrived: lines that arrive together share one sound.
    QElapsedTimer FLastChatLine;
    bool FGameRunning = false;
    bool FWayShown = false;
    bool FComputerThinking = false;
    // Whether the press of the click now under way came on the opponent's turn: the click that plays a move
    // ends on that turn, and its release is no attempt to move.
    bool FPressOutOfTurn = false;
    // Every game here starts from the initial position with white, at the board's first entry.
    BoardRecord FRecord;
};
