// gambitron-boardview: a small window with the board in the main windows' settings, playing black against
// the person. With --screenshot FILE it plays 1. e4 itself, waits for the reply and saves the window.
#include "ChessBrd.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QTimer>

#include <cstdio>

namespace {

void ApplyMainWindowSettings(TChessBrd& board) {
    board.SetBorderColor(Qt::white);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    board.SetCoordFont(font);
    board.SetCoordFontColor(Qt::black);
    board.SetCustomPieceSet(QImage(QStringLiteral(":/MainPieces")));
    board.SetDisplayCoords(CoordSet::All());
    board.SetSquareColorDark(QColor(0xC0, 0xC0, 0xC0));
    board.SetSquareColorLight(Qt::white);
    board.SetThinkingPriority(tpLowest);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QString screenshot;
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--screenshot"));
    if (at >= 0) {
        if (at + 1 >= args.size()) {
            std::fprintf(stderr, "usage: gambitron-boardview [--screenshot FILE]\n");
            return 2;
        }
        screenshot = args[at + 1];
    }

    QWidget window;
    window.setWindowTitle(QStringLiteral("Gambitron — доска"));
    window.setFixedSize(384, 384);
    auto* panel = new QFrame(&window);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(4, 4, 376, 376);
    auto* board = new TChessBrd(panel);
    board->move(4, 4);
    ApplyMainWindowSettings(*board);
    board->SetSearchDepth(3);
    board->NewGame();
    window.show();
    board->SetComputerPlaysBlack(true);

    if (screenshot.isEmpty()) return app.exec();

    QTimer::singleShot(200, [&] {
        board->MakeMove(E2, E4);
        // The reply arrives through the event loop; give it a generous bound.
        QElapsedTimer t;
        t.start();
        while (board->GetWhiteToMove() == false && t.elapsed() < 20000) QCoreApplication::processEvents();
        board->SetComputerPlaysBlack(false);
        QCoreApplication::processEvents();
        const bool saved = window.grab().save(screenshot);
        app.exit(saved ? 0 : 1);
    });
    return app.exec();
}
