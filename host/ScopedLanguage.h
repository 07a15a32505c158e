// For tests: a language installed for the lifetime of the object, and Russian, the language every other test
// reads, afterwards. Make it before the window, so that the window is made in that language.
#pragma once
#include "Language.h"

#include <QByteArray>

class ScopedLanguage {
public:
    explicit ScopedLanguage(Language Lang) { InstallLanguage(Lang); }
    // The language a program started with these locale variables would choose: LANGUAGE and LANG set as
    // given (null: unset), LC_ALL and LC_MESSAGES unset, "--lang" absent. The variables are put back
    // afterwards.
    ScopedLanguage(const char* LanguageList, const char* Lang) {
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
            FSaved.push_back({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
        for (auto [name, value] : {std::pair{"LANGUAGE", LanguageList},
                                   {"LC_ALL", nullptr},
                                   {"LC_MESSAGES", nullptr},
                                   {"LANG", Lang}})
            value ? qputenv(name, value) : qunsetenv(name);
        InstallLanguage(LanguageForRun({QStringLiteral("program")}));
    }
    ~ScopedLanguage() {
        for (const Saved& s : FSaved) s.WasSet ? qputenv(s.Name, s.Value) : qunsetenv(s.Name);
        InstallLanguage(Language::Russian);
    }
    ScopedLanguage(const ScopedLanguage&) = delete;
    ScopedLanguage& operator=(const ScopedLanguage&) = delete;

private:
    struct Saved {
        const char* Name;
        bool WasSet;
        QByteArray Value;
    };
    std::vector<Saved> FSaved;
};
