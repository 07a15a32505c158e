// The program as it is started: its options, and a copy started with --server or --connect meeting a peer.
#include "NetTestSupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace NetTest;

namespace {

class Program : public ::testing::Test {
protected:
    void TearDown() override {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    void Start(const QStringList& arguments, const QString& program = QStringLiteral(GAMBITRON_PATH)) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // Silent, whatever the machine's sound card: ALSA finds no device without its configuration.
        environment.insert(QStringLiteral("ALSA_CONFIG_PATH"), QStringLiteral("/dev/null"));
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        ASSERT_TRUE(process.waitForStarted(5000));
    }
    QString Run(const QStringList& arguments) {
        Start(arguments);
        EXPECT_TRUE(process.waitForFinished(10000));
        return QString::fromLocal8Bit(process.readAllStandardOutput() + process.readAllStandardError());
    }
    // A port nobody listens on at the moment.
    static quint16 FreePort() {
        QTcpServer probe;
        return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
    }

    QProcess process;
};

TEST_F(Program, AnswersVersionAndHelp) {
    EXPECT_TRUE(Run({QStringLiteral("--version")}).contains(QStringLiteral("Gambitron 1.2")));
    EXPECT_EQ(process.exitCode(), 0);
    const QString help = Run({QStringLiteral("--help")});
    for (const char* option : {"--server", "--connect", "--port"})
        EXPECT_TRUE(help.contains(QLatin1String(option)));
}

// Qt's own lines of the help (usage, headings, the standard options) in Russian like ours, and no display
// needed to read them.
TEST_F(Program, HelpSpeaksRussianOnlyWithoutADisplay) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(GAMBITRON_PATH), {QStringLiteral("--help")});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    const QString help = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    for (const char* text : {"Использование:", "Параметры:", "Вывод справки по параметрам командной строки.",
                             "Показать сведения о версии.", "--connect <адрес>", "Сразу создать сервер."})
        EXPECT_TRUE(help.contains(QString::fromUtf8(text))) << text << "\n" << help.toStdString();
    for (const char* english : {"Usage", "Options", "Displays", "ADDRESS"})
        EXPECT_FALSE(help.contains(QLatin1String(english))) << english << "\n" << help.toStdString();
}

// The caption, --version and the "/about" text name one version.
TEST_F(Program, CaptionVersionAndAboutAgree) {
    const QString version = Run({QStringLiteral("--version")}).trimmed();
    EXPECT_EQ(version, QStringLiteral("Gambitron 1.2"));
    const std::unique_ptr<TForm1> form = NewWindow();
    EXPECT_EQ(form->windowTitle(), version);
    QTest::mouseClick(form->RadioButton3, Qt::LeftButton);
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    TypeChat(*form, QStringLiteral("/about"));
    EXPECT_TRUE(LogHas(*form, QStringLiteral("Версия: ") + version));
}

TEST_F(Program, RefusesABadPortAndTwoRoles) {
    Run({QStringLiteral("--port"), QStringLiteral("70000")});
    EXPECT_NE(process.exitCode(), 0);
    Run({QStringLiteral("--port"), QStringLiteral("x")});
    EXPECT_NE(process.exitCode(), 0);
    Run({QStringLiteral("--server"), QStringLiteral("--connect"), QStringLiteral("127.0.0.1")});
    EXPECT_NE(process.exitCode(), 0);
    Run({QStringLiteral("--server"), QStringLiteral("--side"), QStringLiteral("red")});
    EXPECT_NE(process.exitCode(), 0);
}

TEST_F(Program, StartedAsServerItListensAtOnceAndDealsTheSides) {
    for (const char* side : {"", "white", "black"}) {
        const quint16 port = FreePort();
        QStringList arguments{QStringLiteral("--server"), QStringLiteral("--port"), QString::number(port)};
        if (*side) arguments << QStringLiteral("--side") << QString::fromLatin1(side);
        Start(arguments);
        const QByteArray expected = std::string_view(side) == "black" ? "#:Side:Black" : "#:Side:White";
        QTcpSocket peer;
        QByteArray received;
        ASSERT_TRUE(WaitUntil([&] {
            if (peer.state() == QAbstractSocket::UnconnectedState)
                peer.connectToHost(QHostAddress::LocalHost, port);
            received += peer.readAll();
            return received.contains(expected);
        })) << side;
        EXPECT_EQ(received, expected);
        process.kill();
        process.waitForFinished(5000);
    }
}

TEST_F(Program, StartedWithConnectItConnectsAtOnce) {
    QTcpServer listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost, 0));
    Start({QStringLiteral("--connect"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"),
           QString::number(listener.serverPort())});
    ASSERT_TRUE(WaitUntil([&] { return listener.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> peer(listener.nextPendingConnection());
    Write(*peer, "#:Side:White");
    Write(*peer, "#:Move:5254");
    QTest::qWait(200);
    EXPECT_EQ(process.state(), QProcess::Running);
}

// Network play is a module of the program's own: a copy without it still starts, and asked to serve it says
// why it cannot instead of ending.
TEST_F(Program, WithoutItsNetworkModuleItSaysWhyAndKeepsRunning) {
    QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("gambitron"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(GAMBITRON_PATH), copy));
    Start({QStringLiteral("--server"), QStringLiteral("--port"), QString::number(FreePort())}, copy);
    QByteArray errors;
    EXPECT_TRUE(WaitUntil([&] {
        errors += process.readAllStandardError();
        return errors.contains("network play cannot be loaded") && errors.contains("libgambitron-netplay.so");
    })) << errors.toStdString();
    QTest::qWait(200);
    EXPECT_EQ(process.state(), QProcess::Running);
}

} // namespace
