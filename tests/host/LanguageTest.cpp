// Choosing the language of a run from the locale variables and "--lang", and what installing it changes:
// our texts and Qt's own.
#include "Language.h"
#include "GameMessages.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QContextMenuEvent>
#include <QFile>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

const char* const LocaleVariables[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};

// Sets the four locale variables for one case and puts the machine's values back afterwards.
class LocaleEnvironment {
public:
    LocaleEnvironment() {
        for (const char* name : LocaleVariables)
            FSaved.push_back(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
    }
    ~LocaleEnvironment() {
        for (size_t i = 0; i < FSaved.size(); ++i) Set(LocaleVariables[i], FSaved[i]);
    }
    // A null value leaves the variable unset.
    void Use(const char* Language, const char* LcAll, const char* LcMessages, const char* Lang) {
        const char* values[] = {Language, LcAll, LcMessages, Lang};
        for (size_t i = 0; i < std::size(values); ++i)
            Set(LocaleVariables[i], values[i] ? std::optional(QByteArray(values[i])) : std::nullopt);
    }

private:
    static void Set(const char* Name, const std::optional<QByteArray>& Value) {
        if (Value)
            qputenv(Name, *Value);
        else
            qunsetenv(Name);
    }
    std::vector<std::optional<QByteArray>> FSaved;
};

// Puts the test program back into Russian whatever a case installed.
struct RussianAfterwards {
    ~RussianAfterwards() { InstallLanguage(Language::Russian); }
};

constexpr Language Ru = Language::Russian;
constexpr Language En = Language::English;

} // namespace

TEST(LanguageFromEnvironment, FollowsTheLocaleVariablesAsGettextDoes) {
    const struct {
        const char* Language;
        const char* LcAll;
        const char* LcMessages;
        const char* Lang;
        enum Language Expected;
    } cases[] = {
        {nullptr, nullptr, nullptr, nullptr, Ru}, // no locale at all
        {nullptr, nullptr, nullptr, "C", Ru},
        {nullptr, nullptr, nullptr, "C.UTF-8", Ru},
        {nullptr, nullptr, nullptr, "POSIX", Ru},
        {nullptr, nullptr, nullptr, "ru_RU.UTF-8", Ru},
        {nullptr, nullptr, nullptr, "en_US.UTF-8", En},
        {nullptr, nullptr, nullptr, "en_GB", En},
        {nullptr, nullptr, nullptr, "en", En},
        {nullptr, nullptr, nullptr, "de_DE.UTF-8", Ru}, // no German: the texts as written
        {nullptr, nullptr, nullptr, "sr_RS@latin", Ru},
        {"", "", "", "en_US.UTF-8", En},                      // empty counts as unset
        {nullptr, "ru_RU.UTF-8", nullptr, "en_US.UTF-8", Ru}, // LC_ALL before LANG
        {nullptr, "en_US.UTF-8", "ru_RU.UTF-8", "ru_RU.UTF-8", En},
        {nullptr, nullptr, "en_US.UTF-8", "ru_RU.UTF-8", En}, // LC_MESSAGES before LANG
        {nullptr, "C", "en_US.UTF-8", "en_US.UTF-8", Ru},     // LC_ALL=C wins
        {"en", nullptr, nullptr, "ru_RU.UTF-8", En},          // LANGUAGE before the locale
        {"ru", nullptr, nullptr, "en_US.UTF-8", Ru},
        {"de:en_GB:ru", nullptr, nullptr, "ru_RU.UTF-8", En}, // the first language of ours in the list
        {"de:fr", nullptr, nullptr, "en_US.UTF-8", Ru},       // none of ours: the texts as written
        {"::en", nullptr, nullptr, "ru_RU.UTF-8", En},
        {"en", nullptr, nullptr, "C", Ru}, // the C locale ignores LANGUAGE
        {"en", nullptr, nullptr, nullptr, Ru},
        {"en", "POSIX", nullptr, "en_US.UTF-8", Ru},
        {"EN_us", nullptr, nullptr, "ru_RU.UTF-8", En},
    };
    LocaleEnvironment environment;
    for (const auto& c : cases) {
        environment.Use(c.Language, c.LcAll, c.LcMessages, c.Lang);
        EXPECT_EQ(LanguageFromEnvironment(), c.Expected)
            << "LANGUAGE=" << (c.Language ? c.Language : "(unset)")
            << " LC_ALL=" << (c.LcAll ? c.LcAll : "(unset)")
            << " LC_MESSAGES=" << (c.LcMessages ? c.LcMessages : "(unset)")
            << " LANG=" << (c.Lang ? c.Lang : "(unset)");
    }
}

TEST(LanguageForRun, TakesTheLastLangOptionBeforeTheEnvironment) {
    const struct {
        QStringList Arguments;
        const char* Lang;
        Language Expected;
    } cases[] = {
        {{"gambitron", "--lang", "en"}, "ru_RU.UTF-8", En},
        {{"gambitron", "--lang=en"}, "C", En},
        {{"gambitron", "--lang", "ru"}, "en_US.UTF-8", Ru},
        {{"gambitron", "--lang", "EN"}, "C", En},
        {{"gambitron", "--lang", "en", "--lang", "ru"}, "en_US.UTF-8", Ru},
        {{"gambitron-lite", "game.pos"}, "en_US.UTF-8", En},
        {{"gambitron-lite", "game.pos"}, "C", Ru},
        {{"gambitron", "--lang", "de"}, "en_US.UTF-8", En}, // refused later by the parser
        {{"gambitron", "--lang"}, "en_US.UTF-8", En},
        {{"gambitron-lite", "--", "--lang", "en"}, "C", Ru}, // a file named "--lang", not the option
        {{"--lang", "en"}, "C", Ru},                         // the program's own name is no option
    };
    LocaleEnvironment environment;
    for (const auto& c : cases) {
        environment.Use(nullptr, nullptr, nullptr, c.Lang);
        EXPECT_EQ(LanguageForRun(c.Arguments), c.Expected)
            << c.Arguments.join(u' ').toStdString() << " LANG=" << c.Lang;
    }
}

TEST(InstallLanguage, SwitchesOurTextsAndQtsOwnAndBack) {
    RussianAfterwards restore;
    ASSERT_TRUE(QFile::exists(QStringLiteral(":/i18n/gambitron_en.qm")));
    InstallLanguage(Language::English);
    EXPECT_EQ(GameMessages::MoveLine(E2, E4), QStringLiteral("Move: E2 - E4"));
    EXPECT_EQ(GameMessages::CheckText(false), QStringLiteral("Black gives check!"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    InstallLanguage(Language::Russian);
    EXPECT_EQ(GameMessages::MoveLine(E2, E4), QStringLiteral("Ход: E2 - E4"));
    EXPECT_EQ(GameMessages::CheckText(false), QStringLiteral("Черные ставят шах!"));
    // Qt's own buttons follow where Qt's translations are installed (qt6-translations-l10n).
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
}

// A start without arguments leaves Qt's texts for later; the first context menu, whose entries are Qt's, or
// a dialog (through EnsureQtTexts) must find them in place.
TEST(InstallLanguage, QtTextsLeftForLaterArriveWithTheFirstContextMenuOrDialog) {
    RussianAfterwards restore;
    const auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    const struct {
        const char* Trigger;
        std::function<void()> Ask;
    } cases[] = {
        {"context menu",
         [] {
             QWidget widget;
             QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), QPoint());
             QApplication::sendEvent(&widget, &menu);
         }},
        {"dialog", [] { EnsureQtTexts(); }},
    };
    for (const auto& c : cases) {
        InstallLanguage(Language::English);
        InstallLanguage(Language::Russian, QtTexts::WhenNeeded);
        EXPECT_EQ(cancel(), QStringLiteral("Cancel")) << c.Trigger;
        c.Ask();
        EXPECT_EQ(cancel(), QStringLiteral("Отмена")) << c.Trigger;
        // Once in place they stay, and a further request changes nothing.
        EnsureQtTexts();
        EXPECT_EQ(cancel(), QStringLiteral("Отмена")) << c.Trigger;
    }
}

// The English texts a player meets most, as a native speaker who plays chess would write them.
TEST(InstallLanguage, EnglishGameMessagesReadAsChessPlayersWriteThem) {
    RussianAfterwards restore;
    InstallLanguage(Language::English);
    const std::pair<QString, const char*> lines[] = {
        {GameMessages::MoveLine(G8, F6), "Move: G8 - F6"},
        {GameMessages::MoveText(E1, G1), "E1 - G1"},
        {GameMessages::CaptureText(true, 'p'), "White captures a pawn!"},
        {GameMessages::CaptureText(false, 'N'), "Black captures a knight!"},
        {GameMessages::CaptureText(true, 'q'), "White captures the queen!"},
        {GameMessages::CaptureText(false, '?'), "Black captures a piece!"},
        {GameMessages::CheckText(true), "White gives check!"},
        {GameMessages::MateText(false), "Checkmate! Black wins!"},
        {GameMessages::StaleMateText(true), "Stalemate. Draw!"},
        {GameMessages::ThreefoldText(), "Threefold repetition. Draw!"},
    };
    for (const auto& [shown, expected] : lines) EXPECT_EQ(shown, QLatin1String(expected));
}

TEST(LanguageOption, IsAcceptedWithOurLanguagesOnly) {
    RussianAfterwards restore;
    QCommandLineParser parser;
    parser.addOption(LanguageOption());
    ASSERT_TRUE(parser.parse({QStringLiteral("gambitron"), QStringLiteral("--lang"), QStringLiteral("en")}));
    EXPECT_EQ(LanguageFromName(parser.value(QStringLiteral("lang"))), En);
    EXPECT_EQ(UnknownLanguageError(parser), QString());
    ASSERT_TRUE(parser.parse({QStringLiteral("gambitron")}));
    EXPECT_EQ(UnknownLanguageError(parser), QString());
    ASSERT_TRUE(parser.parse({QStringLiteral("gambitron"), QStringLiteral("--lang"), QStringLiteral("de")}));
    EXPECT_TRUE(UnknownLanguageError(parser).contains(QStringLiteral("неизвестный язык \"de\"")));
    InstallLanguage(Language::English);
    EXPECT_TRUE(UnknownLanguageError(parser).contains(QStringLiteral("unknown language \"de\"")));
    EXPECT_TRUE(LanguageOption().description().startsWith(QLatin1String("Language of the window")));
}
