// Program start shared by both windows: icon, desktop entry, fonts and the language of the run.
#include "ProgramStart.h"

#include "BoardSettings.h"
#include "FirstPaintProbe.h"
#include "Language.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

// Outside any namespace: the resource's initialiser must be reachable from a static library.
static void InitIconResources() {
    Q_INIT_RESOURCE(icons);
}

void PrepareProgram(const QString& DesktopId) {
    FirstPaintProbe::InstallIfAsked();
    InitIconResources();
    QApplication::setWindowIcon(
        QIcon(QPixmap::fromImage(ReadResourceImage(QStringLiteral(":/icons/gambitron-256.png"), "PNG"))));
    QGuiApplication::setDesktopFileName(DesktopId);
    InstallFontSubstitutes();
    InstallLanguage(LanguageForRun(QCoreApplication::arguments()));
}
