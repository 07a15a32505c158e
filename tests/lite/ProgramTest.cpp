// gambitron-lite as it is started: --help and --version, answered without a display, in the window's language
// and with the window's version.
#include "LiteWindowFixture.h"

#include <QProcess>

namespace {

// Runs the program with no window system at all: no display, no platform chosen.
QString RunWithoutDisplay(const QStringList& Arguments, int& ExitCode) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(GAMBITRON_LITE_PATH), Arguments);
    EXPECT_TRUE(process.waitForFinished(10000));
    ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

} // namespace

using LiteProgram = LiteWindow;

TEST_F(LiteProgram, HelpSpeaksRussianOnly) {
    int status = -1;
    const QString help = RunWithoutDisplay({QStringLiteral("--help")}, status);
    EXPECT_EQ(status, 0);
    for (const char* text : {"Использование:", "Параметры:", "Аргументы:", "[файл]", "--help", "--version",
                             "Вывод справки по параметрам командной строки.", "Показать сведения о версии.",
                             "Сохраненная игра (.pos), партия PGN (.pgn)"})
        EXPECT_TRUE(help.contains(QString::fromUtf8(text))) << text << "\n" << help.toStdString();
    for (const char* english : {"Usage", "Options", "Arguments", "Displays", "file"})
        EXPECT_FALSE(help.contains(QLatin1String(english))) << english << "\n" << help.toStdString();
}

// The caption, --version and a saved game's "GameVersion" are one text, taken from one version.
TEST_F(LiteProgram, CaptionVersionAndSavedGameAgree) {
    int status = -1;
    const QString version = RunWithoutDisplay({QStringLiteral("--version")}, status).trimmed();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(version, "Gambitron Lite 1.1");
    EXPECT_EQ(Form->windowTitle(), version);
    EXPECT_EQ(Log().Lines().value(0), version);

    StartNewGame();
    const QString name = Dir.filePath("saved.pos");
    Harness.Dialogs.FileAnswers.push_back(name);
    Click("PngSpeedButton4");
    EXPECT_TRUE(ReadFile(name).startsWith("[Gambitron Position]\nGameVersion=" + version.toLatin1() + "\n"));
}
