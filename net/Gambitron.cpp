// gambitron: program start. Without options the window starts with its control panel; the options start
// network play at once, for people who meet the same opponent every day and for scripts.
#include "Language.h"
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
    Parser.setApplicationDescription(
        QCoreApplication::translate("CommandLine", "Шахматы: с компьютером, по сети и вдвоем."));
    Parser.addHelpOption();
    Parser.addVersionOption();
    Parser.addOptions(
        {{QStringLiteral("server"), QCoreApplication::translate("CommandLine", "Сразу создать сервер.")},
         {QStringLiteral("side"),
          QCoreApplication::translate("CommandLine",
                                      "Цвет игрока сервера: white или black (по умолчанию white)."),
          QStringLiteral("white|black"), QStringLiteral("white")},
         {QStringLiteral("connect"),
          QCoreApplication::translate(
              "CommandLine", "Сразу подключиться к серверу: адрес IPv4 или IPv6 либо имя компьютера."),
          QCoreApplication::translate("CommandLine", "адрес")},
         {QStringLiteral("port"),
          QCoreApplication::translate("CommandLine", "Порт TCP сервера (по умолчанию 5000)."),
          QStringLiteral("N"), QStringLiteral("5000")},
         LanguageOption()});
}

// What the command line asks for.
struct StartRequest {
    quint16 Port = 5000;
    bool ServerWhite = true;
    bool Server = false;
    bool Connect = false;
    QString Address;
};

// Reads the command line into Request; false (with the reason on stderr) when it cannot be used. The usual
// start has nothing on it and leaves the parser's code, and the pages it is on, alone.
bool ReadCommandLine(const QApplication& App, StartRequest& Request) {
    if (App.arguments().size() < 2) return true;
    QCommandLineParser parser;
    DescribeCommandLine(parser);
    const QString serverOption = QStringLiteral("server");
    const QString connectOption = QStringLiteral("connect");
    const QString portOption = QStringLiteral("port");
    const QString sideOption = QStringLiteral("side");
    parser.process(App);

    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port == 0 || port > 65535) {
        std::fprintf(
            stderr, "%s\n",
            qPrintable(QCoreApplication::translate("CommandLine", "%1: неверный порт: %2")
                           .arg(QCoreApplication::applicationName().toLower(), parser.value(portOption))));
        return false;
    }
    if (parser.isSet(serverOption) && parser.isSet(connectOption)) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QCoreApplication::translate("CommandLine",
                                                            "%1: --server и --connect исключают друг друга")
                                    .arg(QCoreApplication::applicationName().toLower())));
        return false;
    }

    const QString side = parser.value(sideOption).toLower();
    if (side != QStringLiteral("white") && side != QStringLiteral("black")) {
        std::fprintf(
            stderr, "%s\n",
            qPrintable(QCoreApplication::translate("CommandLine", "%1: --side: white или black, а не %2")
                           .arg(QCoreApplication::applicationName().toLower(), parser.value(sideOption))));
        return false;
    }
    Request.Port = static_cast<quint16>(port);
    Request.ServerWhite = side == QStringLiteral("white");
    Request.Server = parser.isSet(serverOption);
    Request.Connect = parser.isSet(connectOption);
    Request.Address = parser.value(connectOption);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    AnswerHelpAndVersion(argc, argv, NameApplication, DescribeCommandLine);
    // Named before the window system starts, which takes the name for windows of its own.
    NameApplication();
    QApplication app(argc, argv);
    PrepareProgram(QStringLiteral("io.github.gambitron.Gambitron"));
    StartRequest request;
    if (!ReadCommandLine(app, request)) return 2;

    TForm1 Form1;
    Form1.SetPort(request.Port);
    Form1.SetServerSide(request.ServerWhite);
    Form1.show();
    if (request.Server)
        Form1.StartServer();
    else if (request.Connect)
        Form1.StartClient(request.Address);
    return app.exec();
}
