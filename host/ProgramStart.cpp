// Program start shared by both windows: icon, desktop entry, fonts and the language of Qt's own texts.
#include "ProgramStart.h"

#include "BoardSettings.h"
#include "FirstPaintProbe.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmap>
#include <QTranslator>

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
    InstallQtTranslation();
}

void InstallQtTranslation() {
    auto* qtTexts = new QTranslator(QCoreApplication::instance());
    if (qtTexts->load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts);
    else
        delete qtTexts;
}
