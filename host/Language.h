// The language of the windows, the log, the command line and Qt's own dialogs: Russian, the language the
// texts are written in, or English from the translation compiled into the programs. Files and the wire
// never depend on it.
#pragma once
#include <QCommandLineOption>
#include <QStringList>
#include <QStringView>

#include <optional>

class QCommandLineParser;

enum class Language { Russian, English };

// The language the locale variables ask for, read as gettext reads them: LC_ALL, else LC_MESSAGES, else
// LANG names the locale. The C or POSIX locale, or none at all, keeps the texts as written (Russian).
// Otherwise a non-empty LANGUAGE is a list tried in order, and when none of its languages is ours the
// texts stay as written; without LANGUAGE the locale's own language decides. A language we have no
// translation for is Russian.
Language LanguageFromEnvironment();
// "ru" or "en", in any case; nothing for anything else.
std::optional<Language> LanguageFromName(QStringView Name);
// The language of one run: "--lang NAME" or "--lang=NAME" among the arguments, else the environment's.
// An unknown name is left to ExitOnUnknownLanguage.
Language LanguageForRun(const QStringList& Arguments);

// The "--lang" option both programs accept; its description is translated, so make it after
// InstallLanguage.
QCommandLineOption LanguageOption();
// The message for a "--lang" that names no language of ours; empty when it names one or is absent.
QString UnknownLanguageError(const QCommandLineParser& Parser);
// Ends the program with status 2 and that message when there is one.
void ExitOnUnknownLanguage(const QCommandLineParser& Parser);

// When Qt's own texts (its dialogs, context menus and command-line messages) are installed.
enum class QtTexts {
    Now,
    // Once EnsureQtTexts is called, or a context menu is asked for, whichever comes first.
    WhenNeeded
};

// Puts the texts of the application object that exists now into Lang: replaces the translators installed
// by the previous call with ours (none for Russian) and Qt's own for its dialogs. Widgets made afterwards
// speak Lang.
void InstallLanguage(Language Lang, QtTexts When = QtTexts::Now);
// Installs Qt's own texts where InstallLanguage left them for later; does nothing otherwise. Call it
// before opening any of Qt's dialogs.
void EnsureQtTexts();
