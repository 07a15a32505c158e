// Choosing the language of a run and installing its translations.
#include "Language.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

namespace {

const QString LangOptionName = QStringLiteral("lang");

// The language part of a locale name such as "en_GB.UTF-8@euro"; empty for the C and POSIX locales.
QStringView LanguagePart(QStringView Locale) {
    qsizetype end = 0;
    while (end < Locale.size() && Locale[end] != u'_' && Locale[end] != u'.' && Locale[end] != u'@') ++end;
    const QStringView language = Locale.left(end);
    if (language == u"C" || language == u"POSIX") return {};
    return language;
}

QString Variable(const char* Name) {
    return QString::fromLocal8Bit(qgetenv(Name));
}

QPointer<QTranslator> OurTexts;
QPointer<QTranslator> QtOwnTexts;

QTranslator* Loaded(QTranslator* Translator, bool Ok) {
    if (Ok && QCoreApplication::installTranslator(Translator)) return Translator;
    delete Translator;
    return nullptr;
}

void InstallQtTexts(Language Lang) {
    // Qt's dialogs and message boxes name their buttons in the same language where Qt's translations are
    // installed; without them they speak English.
    const QLocale locale(Lang == Language::English ? QLocale::English : QLocale::Russian);
    auto* qt = new QTranslator(QCoreApplication::instance());
    QtOwnTexts = Loaded(qt, qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
}

// Holds Qt's texts back until they are needed: finding and reading Qt's translation file is part of no
// window's first picture. Watches the application for the first context menu, whose entries are Qt's;
// Qt's dialogs are opened through Dialogs, which asks for the texts itself.
class PendingQtTexts : public QObject {
public:
    explicit PendingQtTexts(Language Lang) : QObject(QCoreApplication::instance()), FLanguage(Lang) {
        QCoreApplication::instance()->installEventFilter(this);
    }

    // Installs the texts and ends the wait.
    void Install() {
        FInstalling = true;
        InstallQtTexts(FLanguage);
        delete this;
    }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        // The texts serve menus and dialogs made from now on; the windows on the screen show none of them,
        // and telling them of the change would repaint every one.
        if (FInstalling)
            return Event->type() == QEvent::LanguageChange && Watched == QCoreApplication::instance();
        if (Event->type() == QEvent::ContextMenu) Install();
        return false;
    }

private:
    Language FLanguage;
    bool FInstalling = false;
};

QPointer<PendingQtTexts> Pending;

} // namespace

Language LanguageFromEnvironment() {
    QString locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = Variable(name);
        if (!locale.isEmpty()) break;
    }
    const QStringView localeLanguage = LanguagePart(locale);
    if (localeLanguage.isEmpty()) return Language::Russian;
    const QString list = Variable("LANGUAGE");
    if (list.isEmpty()) return LanguageFromName(localeLanguage).value_or(Language::Russian);
    for (const QString& entry : list.split(QChar(u':'), Qt::SkipEmptyParts)) {
        const QStringView language = LanguagePart(entry);
        // "C" in the list stands for the texts as written.
        if (language.isEmpty()) return Language::Russian;
        if (const auto ours = LanguageFromName(language)) return *ours;
    }
    return Language::Russian;
}

std::optional<Language> LanguageFromName(QStringView Name) {
    if (Name.compare(u"ru", Qt::CaseInsensitive) == 0) return Language::Russian;
    if (Name.compare(u"en", Qt::CaseInsensitive) == 0) return Language::English;
    return std::nullopt;
}

Language LanguageForRun(const QStringList& Arguments) {
    const QString option = QStringLiteral("--") + LangOptionName;
    std::optional<Language> chosen;
    // The last one wins, as with the parser; "--" ends the options.
    for (qsizetype i = 1; i < Arguments.size(); ++i) {
        const QString& argument = Arguments[i];
        if (argument == u"--") break;
        QString name;
        if (argument == option && i + 1 < Arguments.size())
            name = Arguments[++i];
        else if (argument.startsWith(option + QChar(u'=')))
            name = argument.mid(option.size() + 1);
        else
            continue;
        chosen = LanguageFromName(name);
    }
    return chosen ? *chosen : LanguageFromEnvironment();
}

QCommandLineOption LanguageOption() {
    return QCommandLineOption(
        LangOptionName,
        QCoreApplication::translate("CommandLine",
                                    "Язык окна: ru (русский) или en (английский). Без этого параметра язык "
                                    "берется из LANGUAGE, LC_ALL, LC_MESSAGES и LANG."),
        QCoreApplication::translate("CommandLine", "язык"));
}

QString UnknownLanguageError(const QCommandLineParser& Parser) {
    if (!Parser.isSet(LangOptionName) || LanguageFromName(Parser.value(LangOptionName))) return {};
    return QCoreApplication::translate("CommandLine", "%1: неизвестный язык \"%2\"; можно указать ru или en.")
        .arg(QFileInfo(QCoreApplication::applicationFilePath()).fileName(), Parser.value(LangOptionName));
}

void ExitOnUnknownLanguage(const QCommandLineParser& Parser) {
    const QString error = UnknownLanguageError(Parser);
    if (error.isEmpty()) return;
    std::fprintf(stderr, "%s\n", qPrintable(error));
    std::exit(2);
}

void InstallLanguage(Language Lang, QtTexts When) {
    delete Pending.data();
    for (QPointer<QTranslator>* installed : {&OurTexts, &QtOwnTexts}) {
        if (!*installed) continue;
        QCoreApplication::removeTranslator(*installed);
        delete installed->data();
    }
    if (Lang == Language::English) {
        auto* ours = new QTranslator(QCoreApplication::instance());
        OurTexts = Loaded(ours, ours->load(QStringLiteral(":/i18n/gambitron_en.qm")));
    }
    if (When == QtTexts::Now)
        InstallQtTexts(Lang);
    else
        Pending = new PendingQtTexts(Lang);
}

void EnsureQtTexts() {
    if (Pending) Pending->Install();
}
