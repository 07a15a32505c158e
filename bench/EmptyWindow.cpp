// The baseline for the windows' start-up: an empty Qt window of the main windows' kind, with only the
// first-paint probe that bench/window_start.py reads.
#include "FirstPaintProbe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FirstPaintProbe::InstallIfAsked();
    QWidget window;
    window.resize(640, 480);
    window.show();
    return app.exec();
}
