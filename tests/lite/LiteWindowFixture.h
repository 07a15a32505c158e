// A lite window on the offscreen platform with scripted dialogs and recorded sounds, and the small steps
// the window tests share: finding controls, starting games, reading the log and the frames.
#pragma once
#include "ChessBrd.h"
#include "LogView.h"
#include "PngSpeedButton.h"
#include "WinColor.h"
#include "WindowTestHarness.h"
#include "main.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

class LiteWindow : public ::testing::Test {
protected:
    explicit LiteWindow(bool SoundDevice = true) : Harness(SoundDevice) {
        Form = std::make_unique<TForm1>();
        Form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    }
    ~LiteWindow() override { Form.reset(); }

    template <typename T> T* Control(const char* Name) const {
        T* control = Form->findChild<T*>(QString::fromLatin1(Name));
        EXPECT_NE(control, nullptr) << Name;
        return control;
    }
    TChessBrd& Board() const { return Form->Board(); }
    LogView& Log() const { return *Form->RichEdit1(); }
    TPngSpeedButton& Button(const char* Name) const { return *Control<TPngSpeedButton>(Name); }
    void Click(const char* Name) const { QTest::mouseClick(Control<QAbstractButton>(Name), Qt::LeftButton); }
    bool StartPanelShown() const { return Control<QWidget>("TabControl1")->isVisible(); }

    // ComputerSide 0 = "Белые", 1 = "Черные"; Depth 1..6.
    void StartNewGame(int ComputerSide = 1, int Depth = 1) {
        Control<QComboBox>("ComboBox1")->setCurrentIndex(ComputerSide);
        Control<QComboBox>("ComboBox2")->setCurrentIndex(Depth - 1);
        Click("Button1");
    }
    // The deepest search there is, which the panel does not offer: from the opening it takes seconds, so
    // that what a test does next happens while the computer thinks.
    void ThinkLong() const { Board().SetSearchDepth(MaxSearchDepth); }
    // Chooses a saved game on the start panel through the open dialog and presses "Начать игру".
    void StartSavedGame(const QString& FileName) {
        Click("RadioButton2");
        Harness.Dialogs.FileAnswers.push_back(FileName);
        Click("PngSpeedButton5");
        Click("Button1");
    }
    QString WriteFile(const QString& Name, const QByteArray& Bytes) const {
        const QString path = Dir.filePath(Name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(Bytes) == Bytes.size());
        return path;
    }
    static QByteArray ReadFile(const QString& Name) {
        QFile f(Name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }

    // The log from its first line after the three start lines.
    QStringList GameLog() const { return Log().Lines().mid(3); }
    QColor LineColor(const QString& Text) const {
        return Log().LineColor(static_cast<int>(Log().Lines().lastIndexOf(Text)));
    }
    bool Logged(const QString& Text) const { return Log().Lines().contains(Text); }

    // Whether the square shows a last-move frame: the frame's left edge runs 2 px inside the square.
    bool Framed(Square Sq) {
        int x, y;
        Board().SquareToXY(Sq, x, y);
        return Board().Canvas().pixelColor(x + 2, y + Board().GetSizeOfSquare() / 2) ==
               WinColor(LogColor::Frame);
    }
    bool WaitForWhiteToMove(bool White) {
        return WindowTestHarness::WaitUntil(
            [&] { return Board().GetWhiteToMove() == White && !Board().GetThinking(); });
    }

    WindowTestHarness Harness;
    QTemporaryDir Dir;
    std::unique_ptr<TForm1> Form;
};
