// Button keys act exactly where a click would, and the tooltip names them.
#include "ButtonShortcuts.h"

#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

TEST(ButtonShortcuts, AKeyClicksItsButtonOnlyWhileTheButtonIsShownAndEnabled) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* button = new QPushButton(QStringLiteral("Повтор"), &window);
    layout->addWidget(button);
    BindShortcuts(button, QStringLiteral("Повтор хода"),
                  {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    EXPECT_EQ(button->toolTip(), QStringLiteral("Повтор хода (Ctrl+Y, Ctrl+Shift+Z)"));
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    const struct {
        bool Visible;
        bool Enabled;
        int Clicks; // after Ctrl+Y and Ctrl+Shift+Z
    } states[] = {{true, true, 2}, {true, false, 0}, {false, true, 0}};
    for (const auto& state : states) {
        clicks = 0;
        button->setVisible(state.Visible);
        button->setEnabled(state.Enabled);
        QTest::keyClick(&window, Qt::Key_Y, Qt::ControlModifier);
        QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(clicks, state.Clicks) << state.Visible << state.Enabled;
    }
}

TEST(ButtonShortcuts, ATooltipWithoutKeysIsTheNameAlone) {
    EXPECT_EQ(ShortcutTooltip(QStringLiteral("Открыть"), {}), QStringLiteral("Открыть"));
    EXPECT_EQ(ShortcutTooltip(QStringLiteral("Снимок игры"), {QKeySequence(Qt::Key_F12)}),
              QStringLiteral("Снимок игры (F12)"));
}
