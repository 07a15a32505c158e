// The programs' common start: the icon comes from a resource compiled into a static library, which is only
// reachable when the library registers it.
#include "ProgramStart.h"
#include "Language.h"

#include <QApplication>
#include <QIcon>
#include <QWidget>

#include <gtest/gtest.h>

TEST(ProgramStart, GivesEveryWindowTheGameIconAndNamesTheDesktopEntry) {
    PrepareProgram(QStringLiteral("io.github.gambitron.GambitronLite"));
    const QIcon icon = QApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(64, 64).size(), QSize(64, 64));
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("io.github.gambitron.GambitronLite"));
    QWidget window;
    EXPECT_EQ(window.windowIcon().cacheKey(), icon.cacheKey());
    // The start also chose a language from the machine's locale; the other tests read Russian.
    InstallLanguage(Language::Russian);
}
