// gambitron-lite: one game of chess against the computer. "gambitron-lite FILE" starts with that saved game
// (.pos), PGN game or FEN position, as if it had been chosen on the start panel.
#include "Language.h"
#include "ProgramStart.h"
#include "main.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>

namespace {

void NameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Gambitron Lite"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GAMBITRON_LITE_VERSION));
}

void DescribeCommandLine(QCommandLineParser& Parser) {
    Parser.setApplicationDescription(
        QCoreApplication::translate("CommandLine", "Шахматы против компьютера."));
    Parser.addHelpOption();
    Parser.addVersionOption();
    Parser.addOption(LanguageOption());
    Parser.addPositionalArgument(
        QCoreApplication::translate("CommandLine", "файл"),
        QCoreApplication::translate("CommandLine",
                                    "Сохраненная игра (.pos), партия PGN (.pgn) или позиция FEN (.fen), с "
                                    "которой начать."),
        QCoreApplication::translate("CommandLine", "[файл]"));
}

// The saved game named on the command line, if any; anything else there is an error.
QString FileFromCommandLine(const QCoreApplication& App) {
    // Nothing to read: the usual start leaves the parser's code, and the pages it is on, alone.
    if (App.arguments().size() < 2) return {};
    QCommandLineParser parser;
    DescribeCommandLine(parser);
    parser.process(App);
    if (parser.positionalArguments().size() > 1) {
        std::fprintf(
            stderr, "%s\n",
            qPrintable(QCoreApplication::translate("CommandLine", "Можно указать только один файл.")));
        parser.showHelp(1);
    }
    return parser.positionalArguments().value(0);
}

} // namespace

int main(int argc, char** argv) {
    AnswerHelpAndVersion(argc, argv, NameApplication, DescribeCommandLine);
    // Named before the window system starts, which takes the name for windows of its own.
    NameApplication();
    QApplication app(argc, argv);
    PrepareProgram(QStringLiteral("io.github.gambitron.GambitronLite"));
    const QString file = FileFromCommandLine(app);
    TForm1 form;
    form.show();
    if (!file.isEmpty()) {
        // Once the window is on screen, so that its warnings have a parent to stand over.
        QTimer::singleShot(0, &form, [&form, file] { form.StartWithFile(file); });
    }
    return app.exec();
}
