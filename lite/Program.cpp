// gambitron-lite: one game of chess against the computer. "gambitron-lite FILE.pos" starts with that saved
// game, as if it had been chosen on the start panel.
#include "BoardSettings.h"
#include "main.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Gambitron Lite"));
    QApplication::setApplicationVersion(QStringLiteral("1.1"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Шахматы против компьютера."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("Сохраненная игра (.pos), с которой начать."),
                                 QStringLiteral("[file]"));
    parser.process(app);

    InstallFontSubstitutes();
    TForm1 form;
    form.show();
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty()) {
        // Once the window is on screen, so that its warnings have a parent to stand over.
        QTimer::singleShot(0, &form, [&form, file = files.first()] { form.StartWithFile(file); });
    }
    return app.exec();
}
