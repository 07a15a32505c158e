// The offscreen window-test harness: scripted dialogs, a recording sound device, mouse drags and waits.
#include "WindowTestHarness.h"

#include "ChessBrd.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>

#include <algorithm>

QString ScriptedDialogs::GetFileName(QWidget*, const FileDialogRequest& Request) {
    FileRequests.push_back(Request);
    if (FileAnswers.empty()) return {};
    QString answer = FileAnswers.front();
    FileAnswers.pop_front();
    return answer;
}

void ScriptedDialogs::ShowMessage(QWidget*, QMessageBox::Icon Icon, const QString& Caption,
                                  const QString& Text) {
    Messages.push_back({Icon, Caption, Text});
}

bool ScriptedDialogs::Ask(QWidget*, const QString& Caption, const QString& Text) {
    Questions.push_back({QMessageBox::Question, Caption, Text});
    if (Answers.empty()) return false;
    const bool answer = Answers.front();
    Answers.pop_front();
    return answer;
}

struct WindowTestHarness::Recorder {
    bool DeviceExists;
    QStringList Played;
};

namespace {

// The harness keeps its recording; the sound layer owns only this window onto it.
class RecordingDevice : public SoundDevice {
public:
    RecordingDevice(bool& exists, QStringList& played) : FExists(exists), FPlayed(played) {}
    bool Exists() override { return FExists; }
    void Play(const QString& Name, const SoundClip&) override { FPlayed.append(Name); }

private:
    bool& FExists;
    QStringList& FPlayed;
};

WindowTestHarness* Innermost = nullptr;

} // namespace

WindowTestHarness::WindowTestHarness(bool SoundDeviceExists)
    : FRecorder(new Recorder{SoundDeviceExists, {}}), FOuter(Innermost) {
    Innermost = this;
    Install();
}

WindowTestHarness::~WindowTestHarness() {
    Innermost = FOuter;
    if (FOuter) {
        FOuter->Install();
    } else {
        ::Dialogs::SetProvider(nullptr);
        Sound::SetDevice(nullptr);
    }
}

void WindowTestHarness::Install() {
    Sound::SetDevice(std::make_unique<RecordingDevice>(FRecorder->DeviceExists, FRecorder->Played));
    ::Dialogs::SetProvider(&Dialogs);
}

const QStringList& WindowTestHarness::PlayedSounds() const {
    return FRecorder->Played;
}

void WindowTestHarness::ClearPlayedSounds() {
    FRecorder->Played.clear();
}

void WindowTestHarness::ClickSquare(TChessBrd& Board, Square Sq) {
    QTest::mouseClick(&Board, Qt::LeftButton, {}, Board.SquareRect(Sq).center());
}

void WindowTestHarness::DragPiece(TChessBrd& Board, Square From, Square To) {
    // QTest::mouseMove carries no buttons, so the moves are sent as they come from a held button.
    auto move = [&Board](QPoint at) {
        QMouseEvent e(QEvent::MouseMove, at, Board.mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
        QApplication::sendEvent(&Board, &e);
    };
    const QPoint from = Board.SquareRect(From).center(), to = Board.SquareRect(To).center();
    QTest::mousePress(&Board, Qt::LeftButton, {}, from);
    // Past the 5-pixel threshold first, then across the board in a few steps, as a hand would.
    move(from + QPoint(6, 0));
    constexpr int steps = 4;
    for (int i = 1; i <= steps; ++i) move(from + (to - from) * i / steps);
    QTest::mouseRelease(&Board, Qt::LeftButton, {}, to);
}

bool WindowTestHarness::WaitUntil(const std::function<bool()>& Condition, int TimeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!Condition()) {
        const qint64 left = TimeoutMs - timer.elapsed();
        if (left <= 0) return Condition();
        // qWait sleeps on the event loop between its turns: no spinning.
        QTest::qWait(static_cast<int>(std::min<qint64>(left, 10)));
    }
    return true;
}
