// gambitron-boardview: a small window with the board in the main windows' settings, playing black against
// the person, with the windows' last-move frames and sounds. With --screenshot FILE it plays two white moves
// itself, waits for the replies and saves the window; --click SQUARE clicks that square first (a click on
// one of White's pieces shows it picked up with its legal squares marked).
#include "BoardSettings.h"
#include "ChessBrd.h"
#include "LastMoveFrames.h"
#include "Sound.h"

#include <QApplication>
#include <QFrame>
#include <QMouseEvent>
#include <QTimer>

#include <cstdio>
#include <utility>
#include <vector>

namespace {

// The window redraws the frames whenever it is painted or activated, as the main windows do.
class BoardWindow : public QWidget {
public:
    BoardWindow() {
        setWindowTitle(QStringLiteral("Gambitron — доска"));
        setFixedSize(384, 384);
        auto* panel = new QFrame(this);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setGeometry(4, 4, 376, 376);
        Board = new TChessBrd(panel);
        Board->move(4, 4);
        ApplyMainWindowBoardSettings(*Board);
        Board->SetSearchDepth(3);
        Board->OnLegalMove = [this](ChessGame*, Square from, Square to) {
            PlaySound(QStringLiteral("MOVE"));
            LastMoveFrom = from;
            LastMoveTo = to;
            DrawMove();
            if (OnMovePlayed) OnMovePlayed();
        };
        auto gameOver = [this](ChessGame*, Square, Square) { PlaySound(QStringLiteral("MATE")); };
        Board->OnMate = gameOver;
        Board->OnStaleMate = gameOver;
        Board->OnThreefoldPosition = [this](ChessGame*) { PlaySound(QStringLiteral("MATE")); };
    }

    void DrawMove() { DrawLastMoveFrames(*Board, LastMoveFrom, LastMoveTo); }

    TChessBrd* Board = nullptr;
    std::function<void()> OnMovePlayed;

protected:
    void paintEvent(QPaintEvent* e) override {
        QWidget::paintEvent(e);
        DrawMove();
    }
    void changeEvent(QEvent* e) override {
        QWidget::changeEvent(e);
        if (e->type() == QEvent::ActivationChange && isActiveWindow()) DrawMove();
    }

private:
    static void PlaySound(const QString& name) {
        if (Sound::HasOutputDevice()) Sound::Play(name);
    }

    Square LastMoveFrom = None;
    Square LastMoveTo = None;
};

} // namespace

int main(int argc, char** argv) {
    InstallFontSubstitutes();
    QApplication app(argc, argv);
    QString screenshot;
    Square click = None;
    const QStringList args = app.arguments();
    if (const qsizetype c = args.indexOf(QStringLiteral("--click")); c >= 0 && c + 1 < args.size())
        click = ChessGame::SquareFromName(args[c + 1].toStdString());
    const qsizetype at = args.indexOf(QStringLiteral("--screenshot"));
    if (at >= 0) {
        if (at + 1 >= args.size()) {
            std::fprintf(stderr, "usage: gambitron-boardview [--screenshot FILE]\n");
            return 2;
        }
        screenshot = args[at + 1];
    }

    BoardWindow window;
    TChessBrd& board = *window.Board;
    board.NewGame();
    window.show();
    board.SetComputerPlaysBlack(true);
    if (screenshot.isEmpty()) return app.exec();

    // White's moves are played one after another as black's replies arrive; the picture is taken once the
    // last reply stands on the board with its frames.
    const std::vector<std::pair<Square, Square>> whiteMoves = {{E2, E4}, {G1, F3}};
    std::size_t next = 0;
    auto playNext = [&] {
        if (next < whiteMoves.size()) {
            const auto [from, to] = whiteMoves[next++];
            board.MakeMove(from, to);
            return;
        }
        board.SetComputerPlaysBlack(false);
        if (click != None) {
            int x, y;
            board.SquareToXY(click, x, y);
            const QPointF at(x + board.GetSizeOfSquare() / 2, y + board.GetSizeOfSquare() / 2);
            for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                QMouseEvent e(type, at, board.mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
                QApplication::sendEvent(&board, &e);
            }
        }
        app.exit(window.grab().save(screenshot) ? 0 : 1);
    };
    window.OnMovePlayed = [&] {
        if (board.GetWhiteToMove()) QTimer::singleShot(300, &app, playNext);
    };
    QTimer::singleShot(300, &app, playNext);
    // A reply that never comes must not keep the program running.
    QTimer::singleShot(60000, &app, [&] { app.exit(1); });
    return app.exec();
}
