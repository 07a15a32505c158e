// gambitron: program start. Without options the window starts with its control panel; the options start
// network play at once, for people who meet the same opponent every day and for scripts.
#include "ProgramStart.h"
#include "main.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

namespace {

void NameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Gambitron"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GAMBITRON_VERSION));
}

void DescribeCommandLine(QCommandLineParser& Parser) {
    Parser.setApplicationDescription(QStringLiteral("Шахматы: с компьютером, по сети и вдвоем."));
    Parser.addHelpOption();
    Parser.addVersionOption();
    Parser.addOptions(
        {{QStringLiteral("server"), QStringLiteral("Сразу создать сервер.")},
         {QStringLiteral("side"),
          QStringLiteral("Цвет игрока сервера: white или black (по умолчанию white)."),
          QStringLiteral("white|black"), QStringLiteral("white")},
         {QStringLiteral("connect"),
          QStringLiteral("Сразу подключиться к серверу: адрес IPv4 или IPv6 либо имя компьютера."),
          QStringLiteral("адрес")},
         {QStringLiteral("port"), QStringLiteral("Порт TCP сервера (по умолчанию 5000)."),
          QStringLiteral("N"), QStringLiteral("5000")}});
}

// --help and --version answer before any window system is needed, so that they work without a display;
// the window system's own options (-platform and the like) are only known once QApplication has taken them.
void AnswerHelpAndVersion(int argc, char** argv) {
    QCoreApplication probe(argc, argv);
    NameApplication();
    InstallQtTranslation();
    QCommandLineParser parser;
    DescribeCommandLine(parser);
    parser.parse(probe.arguments());
    if (parser.isSet(QStringLiteral("help"))) parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version"))) parser.showVersion();
}

} // namespace

int main(int argc, char** argv) {
    AnswerHelpAndVersion(argc, argv);
    QApplication app(argc, argv);
    NameApplication();
    PrepareProgram(QStringLiteral("io.github.gambitron.Gambitron"));

    QCommandLineParser parser;
    DescribeCommandLine(parser);
    const QString serverOption = QStringLiteral("server");
    const QString connectOption = QStringLiteral("connect");
    const QString portOption = QStringLiteral("port");
    const QString sideOption = QStringLiteral("side");
    parser.process(app);

    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port == 0 || port > 65535) {
        std::fprintf(stderr, "gambitron: неверный порт: %s\n", qPrintable(parser.value(portOption)));
        return 2;
    }
    if (parser.isSet(serverOption) && parser.isSet(connectOption)) {
        std::fprintf(stderr, "gambitron: --server и --connect исключают друг друга\n");
        return 2;
    }

    const QString side = parser.value(sideOption).toLower();
    if (side != QStringLiteral("white") && side != QStringLiteral("black")) {
        std::fprintf(stderr, "gambitron: --side: white или black, а не %s\n",
                     qPrintable(parser.value(sideOption)));
        return 2;
    }

    TForm1 Form1;
    Form1.SetPort(static_cast<quint16>(port));
    Form1.SetServerSide(side == QStringLiteral("white"));
    Form1.show();
    if (parser.isSet(serverOption))
        Form1.StartServer();
    else if (parser.isSet(connectOption))
        Form1.StartClient(parser.value(connectOption));
    return app.exec();
}
