// TForm1: the window of gambitron-lite. A start panel chooses a new game against the computer or a saved
// game; then a coloured log, a line that shows while the computer thinks, and six picture buttons (take
// back, replay, snapshot, turn the board, save, new game) accompany the game on the board. The new-game
// button leads back to the start panel, with the choices made there kept. Every button has a key. The
// layout and the controls' names come from main.ui.
#pragma once
#include "BoardRecord.h"
#include "ChessTypes.h"
#include "Dialogs.h"

#include <QColor>
#include <QList>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class LogView;
class QAction;
class TChessBrd;
namespace Ui {
class TForm1;
}

class TForm1 : public QWidget {
    Q_OBJECT
public:
    static const QString Caption; // "Gambitron Lite 1.1", also the saved games' "GameVersion"

    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Starts play from a saved game as if it had been chosen on the start panel and "Начать игру" pressed.
    // False, with the warnings shown and the start panel left on screen, when it cannot be loaded.
    bool StartWithFile(const QString& FileName);

    TChessBrd& Board() const;
    // The log, made when first asked for (a game starts, a line is logged, a test looks), opening with the
    // start lines: a text view is a good part of a start that shows only the start panel.
    LogView* RichEdit1() const;
    // Whether the board is carrying out a move (the computer's piece may be sliding, processing window
    // messages): work that changes the board or waits for the engine is held until it is complete.
    bool MoveInProgress() const;

    bool NewGameSelected = true;
    Square LastMoveFrom = None;
    Square LastMoveTo = None;
    // A take-back was made while white, played by the computer, was to move; cleared by every legal move.
    bool EarlyTakeBack = false;

    // The dialogs; OpenDialog1.FileName keeps the full path of the chosen saved game.
    FileDialogRequest SaveDialog1;
    FileDialogRequest OpenDialog1;
    FileDialogRequest SavePictureDialog1;

    void LogMessage(const QString& Text, std::uint32_t Color);
    void DrawMove();
    bool LoadPosition();

    // A game is on the board and has not ended by mate, stalemate or repetition: leaving it asks first.
    bool GameRunning() const { return FInGame && !FGameEnded; }
    // The computer has begun or ended its search; a line under the log says so while it lasts.
    void ComputerThinkingChanged(bool Thinking);
    bool ComputerThinking() const { return FComputerThinking; }
    // A drop was refused because it is the computer's turn: a short hint beside the pointer, gone by itself.
    void InputRefused();
    // The game as FEN (the position on the board) and PGN, for the clipboard and files.
    QString CurrentFen() const;
    QString CurrentPgn() const;

protected:
    void changeEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void FormCreate();
    void FormActivate();
    void FormPaint();
    void FormCloseQuery(bool& CanClose);
    void RadioButton1Click();
    void PngSpeedButton5Click();
    void Button1Click();
    void RichEdit1Change();
    void ChessBrd1LegalMove(Square oldSq, Square newSq);
    void ChessBrd1Capture(Square oldSq, Square newSq, char CapturedPiece);
    void ChessBrd1Check(Square oldSq, Square newSq);
    void ChessBrd1Mate(Square oldSq, Square newSq);
    void ChessBrd1StaleMate(Square oldSq, Square newSq);
    void ChessBrd1ThreefoldPosition();
    void PngSpeedButton1Click();
    void PngSpeedButton2Click();
    void PngSpeedButton3Click();
    void PngSpeedButton4Click();
    void PngSpeedButton6Click();
    void NewGameButtonClick();

    void LogStartLines();
    // Back to the start panel with an empty board, as the program starts; the panel's choices stay.
    void ReturnToStartPanel();
    // After mate, stalemate or repetition: the hint to a new game, and the focus on its button.
    void GameEnded();
    // The board announces no start or end of its search: the window follows whose turn it is instead.
    void FollowComputerTurn();

    // Sounds play only when "Включить звуки" is ticked and there is an output device.
    void PlaySound(const QString& Name);
    // Whether the piece now on Sq is white: the side that has just moved.
    bool WhiteMoved(Square Sq) const;
    // Runs Action now, or once the move in progress is complete.
    void WhenNoMoveInProgress(std::function<void()> Action);

    // History steps: the entry a take-back or a replay restores, and the entry whose move it then frames.
    struct Step {
        int Move;
        bool White;
        int InfoMove;
        bool InfoWhite;
    };
    Step TakeBackStep() const;
    Step ReplayStep() const;
    // Whether the entry lies in the part of the history this game recorded: not before the position the
    // game started from, not after the newest move.
    bool InRecordedSpan(int Move, bool White) const;
    void ShowHistoryStep(const Step& Target, const QString& Line);
    void UpdateHistoryButtons();
    // Halts the engine for a history step, and lets it go on again when the step is not made.
    bool StepThroughHistory(const Step& Target);

    QString DatedFileName(const QString& Extension) const;

    // Game records (RecordActions.cpp): the copy and paste actions with their shortcuts and the log's
    // menu, PGN files, and games read from PGN or FEN.
    void CreateRecordActions();
    void CopyFen();
    void CopyPgn();
    void PasteGame();
    bool SavePgn(const QString& FileName);
    // Reads a .pgn or .fen file chosen on the start panel; false, with the warning shown, when it holds no
    // game that can be played here.
    bool LoadRecordFile(const QString& FileName);
    // Sets Game up on the board with the start panel's computer settings and goes on from its end.
    void StartRecordedGame(const GameRecord& Game, const QString& Line);
    // The start panel gives way to the log and the buttons.
    void ShowGameControls();
    QImage GrabWindow();

    std::unique_ptr<Ui::TForm1> ui;
    LogView* MakeLog();
    LogView* FRichEdit1 = nullptr;
    // The record actions, which the log offers in its menu once it is made.
    QList<QAction*> FRecordActions;
    // Where the game began: (1, white) for a new game, the loaded side at move 1 for a saved one.
    int FStartMove = 1;
    bool FStartWhite = true;
    // Counts the legal moves, so that loading can tell whether the computer has moved meanwhile.
    int FMovesPlayed = 0;
    bool FInGame = false;
    bool FGameEnded = false;
    bool FComputerThinking = false;
    // Where the game began, for FEN and PGN.
    BoardRecord FRecord;
};
