// FirstPaintProbe: with GAMBITRON_FIRST_PAINT set in the environment, a program prints "first-paint" on its
// standard output and ends as soon as its first window has been painted. bench/window_start.py measures the
// time to first paint with it; without the variable nothing is installed.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

class FirstPaintProbe : public QObject {
public:
    // Call once the application object exists, before the first window is shown.
    static void InstallIfAsked() {
        if (qEnvironmentVariableIsEmpty("GAMBITRON_FIRST_PAINT")) return;
        QCoreApplication::instance()->installEventFilter(new FirstPaintProbe(QCoreApplication::instance()));
    }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        if (!FSeen && Event->type() == QEvent::Paint && Watched->isWidgetType()) {
            FSeen = true;
            // A zero timer runs after the rest of this paint pass: the other widgets and the flush to the
            // screen. Ending at once skips the windows' orderly shutdown, which is not being measured.
            QTimer::singleShot(0, [] {
                std::fputs("first-paint\n", stdout);
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    using QObject::QObject;
    bool FSeen = false;
};
