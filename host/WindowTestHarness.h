// Drives a real main window offscreen: message boxes and file dialogs are answered from a script and
// recorded, and sounds go to a device that records their names instead of the speakers.
#pragma once
#include "ChessTypes.h"
#include "Dialogs.h"
#include "Sound.h"
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class TChessBrd;

class ScriptedDialogs : public DialogProvider {
public:
    struct Message {
        QMessageBox::Icon Icon;
        QString Caption;
        QString Text;
    };
    // Answers for the next file dialogs, in order; an empty answer (or none left) is a cancel.
    std::deque<QString> FileAnswers;
    std::vector<FileDialogRequest> FileRequests;
    std::vector<Message> Messages;
    // Answers for the next questions, in order; none left is a no.
    std::deque<bool> Answers;
    std::vector<Message> Questions;

    QString GetFileName(QWidget* Parent, const FileDialogRequest& Request) override;
    void ShowMessage(QWidget* Parent, QMessageBox::Icon Icon, const QString& Caption,
                     const QString& Text) override;
    bool Ask(QWidget* Parent, const QString& Caption, const QString& Text) override;
};

// Installs the scripted dialogs and a recording sound device for its lifetime. Harnesses may nest: the
// inner one answers while it lives, then the outer one takes over again.
class WindowTestHarness {
public:
    explicit WindowTestHarness(bool SoundDeviceExists = true);
    ~WindowTestHarness();
    WindowTestHarness(const WindowTestHarness&) = delete;
    WindowTestHarness& operator=(const WindowTestHarness&) = delete;

    ScriptedDialogs Dialogs;
    // Names of the sounds played so far, in order.
    const QStringList& PlayedSounds() const;
    void ClearPlayedSounds();

    // Drags a piece with the mouse from one square to another, as a person would.
    static void DragPiece(TChessBrd& Board, Square From, Square To);
    // Clicks a square with the left button: with the piece-by-click moves, picks a piece up or puts it down.
    static void ClickSquare(TChessBrd& Board, Square Sq);
    // Runs the event loop until Condition holds or TimeoutMs passes; returns whether it holds.
    static bool WaitUntil(const std::function<bool()>& Condition, int TimeoutMs = 10000);

private:
    struct Recorder;
    void Install();

    std::unique_ptr<Recorder> FRecorder;
    WindowTestHarness* FOuter = nullptr;
};
