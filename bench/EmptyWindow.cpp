// The baseline for the windows' start-up: an empty Qt window of the main windows' kind, with only the
// first-paint probe that bench/window_start.py reads. With the argument "text" it shows one line of text,
// which adds what any window with text pays before its first paint: fontconfig and the fonts.
#include "FirstPaintProbe.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FirstPaintProbe::InstallIfAsked();
    QWidget window;
    window.resize(640, 480);
    if (argc > 1 && std::strcmp(argv[1], "text") == 0)
        (new QLabel(QStringLiteral("Начать игру"), &window))->move(20, 20);
    window.show();
    return app.exec();
}
