// Program start shared by both windows: icon, desktop entry, fonts and the language of the run.
#include "ProgramStart.h"

#include "BoardSettings.h"
#include "FirstPaintProbe.h"
#include "Language.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QEvent>
#include <QIcon>
#include <QPixmap>

#include <utility>

// Outside any namespace: the resource's initialiser must be reachable from a static library.
static void InitIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace {

// Watches the whole application for its first paint and then posts its work behind that paint pass, so
// that the work follows the window's flush to the screen; at low priority, behind whatever else the paint
// has posted.
class FirstPaintWork : public QObject {
public:
    explicit FirstPaintWork(std::function<void()> Work)
        : QObject(QCoreApplication::instance()), FWork(std::move(Work)) {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        if (Event->type() == QEvent::Paint && Watched->isWidgetType()) {
            QCoreApplication::instance()->removeEventFilter(this);
            QCoreApplication::postEvent(this, new QEvent(QEvent::User), Qt::LowEventPriority);
        }
        return false;
    }

    bool event(QEvent* Event) override {
        if (Event->type() != QEvent::User) return QObject::event(Event);
        FWork();
        deleteLater();
        return true;
    }

private:
    std::function<void()> FWork;
};

// Whether any argument after the program's name starts with '-': without one, a command line asks for no
// help, version or language and holds no options of the window system.
bool CommandLineHasOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] == '-') return true;
    return false;
}

} // namespace

void AfterFirstPaint(std::function<void()> Work) {
    new FirstPaintWork(std::move(Work));
}

void PrepareProgram(const QString& DesktopId) {
    // The 256-pixel icon is decoded, converted and sent to the X server, a good part of a start; the window
    // manager takes it just as well a moment after the window is painted.
    AfterFirstPaint([] {
        InitIconResources();
        QApplication::setWindowIcon(
            QIcon(QPixmap::fromImage(ReadResourceImage(QStringLiteral(":/icons/gambitron-256.png"), "PNG"))));
    });
    FirstPaintProbe::InstallIfAsked();
    QGuiApplication::setDesktopFileName(DesktopId);
    InstallFontSubstitutes();
    // Without arguments nothing before the window speaks Qt's texts (no message of the command line, no
    // file to open and warn about), so they wait for a dialog, a context menu or the first paint.
    const QStringList arguments = QCoreApplication::arguments();
    InstallLanguage(LanguageForRun(arguments), arguments.size() > 1 ? QtTexts::Now : QtTexts::WhenNeeded);
    AfterFirstPaint(EnsureQtTexts);
}

void AnswerHelpAndVersion(int argc, char** argv, void (*NameApplication)(),
                          void (*DescribeCommandLine)(QCommandLineParser&)) {
    // Without anything like an option there is nothing to answer, and no second application object to pay
    // for.
    if (!CommandLineHasOptions(argc, argv)) return;
    QCoreApplication probe(argc, argv);
    NameApplication();
    InstallLanguage(LanguageForRun(probe.arguments()));
    QCommandLineParser parser;
    DescribeCommandLine(parser);
    parser.parse(probe.arguments());
    ExitOnUnknownLanguage(parser);
    if (parser.isSet(QStringLiteral("help"))) parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version"))) parser.showVersion();
}
