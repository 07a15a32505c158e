// TForm1: the main window of gambitron. The board sits at the left; at the right the control panel picks
// one of three play modes (against the computer, over the network, two people at one board) and then
// gives way for good to the move list, the status and chat log and the chat line. In network play the
// window is either the server, which accepts one opponent at a time and decides the colours, or the
// client; both exchange moves and chat lines as the wire messages of Wire.h.
#pragma once
#include "ChessTypes.h"
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
    bool PeersTurn() const;
    void PlayReceivedMove(QByteArrayView Message);
    void ShowPeerChat(const QByteArray& Message);
    void ShowChatText(QString Text);
    void RefuseCharacter(const QString& Character);
    void RefuseLength();
    void ChatHint(const QString& Text);
    void SendLocalMove(Square From, Square To);
    void SendChat(const QString& Text);
    static void Send(QTcpSocket* Socket, const QByteArray& Message);
    void Listen();
    void Connect(const QString& Address);

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
};
