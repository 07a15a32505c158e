// TForm1: the main window of gambitron. The board sits at the left; at the right the control panel picks
// one of three play modes (against the computer, over the network, two people at one board) and then
// gives way to the move list, the status and chat log, a line that shows while the computer thinks, the
// new-game button (Ctrl+N, back to the control panel with its choices kept) and the chat line. In network
// play the
// window is either the server, which accepts one opponent at a time and decides the colours, or the
// client; both exchange moves and chat lines as the wire messages of Wire.h.
#pragma once
#include "BoardRecord.h"
#include "ChessTypes.h"
#include "Dialogs.h"
#include "WireReader.h"
#include "ui_main.h"

#include <QAbstractSocket>
#include <QColor>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

class ChessGame;
class QTcpServer;
class QTcpSocket;

class TForm1 : public QWidget, public Ui::TForm1 {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Where a network game stands: before a game (also after the server's opponent left), the client
    // connected and waiting for its side, a game in progress, and a game that has ended.
    enum class NetPhase { Idle, WaitingForSide, Playing, Over };

    // Window state
    bool GameStarted = false;
    bool LocalGame = false;
    bool PlayingWhite = false;
    QColor OwnColor;
    QColor PeerColor;
    Square LastMoveFrom = None;
    Square LastMoveTo = None;

    QTcpServer* ServerSocket1;
    QTcpSocket* ClientSocket1;

    // Appends a time-stamped line to the log; a carriage return starts a further line in the same colour.
    void LogMessage(const QString& Text, const QColor& Color);
    // Frames the last move's two squares on the board.
    void DrawMove();
    // Acts on one received message; anything the current state does not expect is dropped.
    void ProcessMessage(const QByteArray& Message);

    // The TCP port the server listens on and the client connects to (5000 unless set before starting).
    void SetPort(quint16 Port) { FPort = Port; }
    quint16 Port() const { return FPort; }
    // Starts network play as if chosen in the control panel and "Начать игру" pressed.
    void StartServer();
    void StartClient(const QString& Address);

    bool ServerActive() const { return FServerActive; }
    bool ClientActive() const { return FClientActive; }
    NetPhase Phase() const { return FPhase; }
    // The server's opponent or the client's connection to its server; null when there is none.
    QTcpSocket* Opponent() const;
    // Handles bytes as the opponent's connection delivers them: cut into messages, each processed.
    void ReceiveFromOpponent(const QByteArray& Bytes);
    // Whether received network work waits for the move in progress to complete.
    bool HoldingNetworkWork() const;

    // A game is under way and has not ended (mate, stalemate, repetition, a lost connection): leaving it
    // for the control panel asks first.
    bool GameRunning() const { return GameStarted && FGameRunning; }
    // The computer has begun or ended its search; a line beside the new-game button says so meanwhile.
    void ComputerThinkingChanged(bool Thinking);
    bool ComputerThinking() const { return FComputerThinking; }
    // A move was refused because it is the computer's or the opponent's turn: a short hint at the pointer.
    void InputRefused();
    // Ends network play for the way back to the control panel: the peer sees the connection close as it
    // sees any closing, and this window is neither server nor client any more.
    void EndNetworkGameForNewGame();
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
    // Back to the control panel with an empty board, as the program starts; the panel's choices stay.
    void ReturnToControlPanel();
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

    // Network
    void ServerSocket1Accept();
    void ServerSocket1ClientConnect(QTcpSocket* Socket);
    void ServerSocket1ClientDisconnect(QTcpSocket* Socket);
    void ServerSocket1ClientRead(QTcpSocket* Socket);
    void ServerSocket1ClientError(QTcpSocket* Socket, QAbstractSocket::SocketError Error);
    void ClientSocket1Connecting();
    void ClientSocket1Connect();
    void ClientSocket1Disconnect();
    void ClientSocket1Read();
    void ClientSocket1Error(QAbstractSocket::SocketError Error);
    void RefuseClient(QTcpSocket* Socket);
    void DropOpponent(QTcpSocket* Socket);
    void StartNetworkGame(bool LocalWhite);
    void StartGame(bool WhiteOnTop, bool ComputerWhite, bool ComputerBlack);
    void EndNetworkGame(const QString& Reason);
    void LoseServer();
    void PlayReceivedMove(const QByteArray& Message);
    void ShowPeerChat(const QByteArray& Message);
    void SendLocalMove(Square From, Square To);
    void SendChat(const QString& Text);
    static void Send(QTcpSocket* Socket, const QByteArray& Message);
    void Listen();
    void Connect(const QString& Address);
    // A fresh client socket for each connection; work still queued for an earlier one finds it replaced.
    void CreateClientSocket();

    // Game records (RecordActions.cpp): copy the position and the game, save the game as PGN; in all three
    // modes, from the move list's menu and the window's shortcuts. There is no paste: a game comes from the
    // mode chosen or from the peer.
    void CreateRecordActions();
    void CopyFen();
    void CopyPgn();
    void SaveGame();

    // Received network work runs only between moves: PerformMove's handlers process window messages, and
    // a move or a new game started from there would run in the middle of the move.
    bool MoveInProgress() const;
    void Deliver(std::function<void()> Work);
    static void RunWork(const std::function<void()>& Work);

    quint16 FPort = 5000;
    bool FServerActive = false;
    bool FClientActive = false;
    NetPhase FPhase = NetPhase::Idle;
    QPointer<QTcpSocket> FOpponent;
    // A window is the server or the client for its whole run, so one reader serves the connection.
    WireReader FReader;
    // When the last chat line arrived: lines that arrive together share one sound.
    QElapsedTimer FLastChatLine;
    bool FGameRunning = false;
    bool FWayShown = false;
    bool FComputerThinking = false;
    // Every game here starts from the initial position with white, at the board's first entry.
    BoardRecord FRecord;
};
