// The programs' common start: the icon comes from a resource compiled into a static library, which is only
// reachable when the library registers it; it is given once the first window has painted.
#include "ProgramStart.h"
#include "Language.h"
#include "WindowTestHarness.h"

#include <QApplication>
#include <QIcon>
#include <QWidget>

#include <gtest/gtest.h>

TEST(ProgramStart, GivesEveryWindowTheGameIconOnceTheFirstHasPaintedAndNamesTheDesktopEntry) {
    PrepareProgram(QStringLiteral("io.github.gambitron.GambitronLite"));
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("io.github.gambitron.GambitronLite"));
    QWidget window;
    window.show();
    ASSERT_TRUE(WindowTestHarness::WaitUntil([] { return !QApplication::windowIcon().isNull(); }));
    const QIcon icon = QApplication::windowIcon();
    EXPECT_EQ(icon.pixmap(64, 64).size(), QSize(64, 64));
    EXPECT_EQ(window.windowIcon().cacheKey(), icon.cacheKey());
    QWidget later;
    EXPECT_EQ(later.windowIcon().cacheKey(), icon.cacheKey());
    // The start also chose a language from the machine's locale; the other tests read Russian.
    InstallLanguage(Language::Russian);
}
