// The log: coloured plain-text paragraphs, carriage returns, time stamps, scrolling, and hostile sizes.
#include "LogView.h"

#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace {

class LogViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        log.setGeometry(0, 0, 176, 332);
        log.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&log));
    }

    bool AtBottom() {
        QCoreApplication::processEvents();
        const QScrollBar* bar = log.verticalScrollBar();
        return bar->maximum() > 0 && bar->value() == bar->maximum();
    }

    LogView log;
    const QColor red{255, 0, 0};
    const QColor grey{128, 128, 128};
};

} // namespace

TEST_F(LogViewTest, AppendsEachMessageAsAParagraphInItsColour) {
    log.LogMessage(QStringLiteral("Ход: E2 - E4"), QColor(223, 112, 0));
    log.LogMessage(QStringLiteral("Белые ставят шах!"), red);
    ASSERT_EQ(log.LineCount(), 2);
    EXPECT_EQ(log.Lines(),
              QStringList({QStringLiteral("Ход: E2 - E4"), QStringLiteral("Белые ставят шах!")}));
    EXPECT_EQ(log.LineColor(0), QColor(223, 112, 0));
    EXPECT_EQ(log.LineColor(1), red);
    EXPECT_FALSE(log.LineColor(2).isValid());
}

TEST_F(LogViewTest, ShowsMarkupAsTheCharactersItIsMadeOf) {
    log.LogMessage(QStringLiteral("<b>x</b> &amp; <img src=\"a.png\">"), grey);
    EXPECT_EQ(log.Lines().value(0), QStringLiteral("<b>x</b> &amp; <img src=\"a.png\">"));
    EXPECT_EQ(log.toPlainText(), QStringLiteral("<b>x</b> &amp; <img src=\"a.png\">"));
    const QTextBlock block = log.document()->firstBlock();
    EXPECT_NE(block.begin().fragment().charFormat().fontWeight(), QFont::Bold);
}

TEST_F(LogViewTest, StartsAFurtherParagraphInTheSameColourAtACarriageReturn) {
    log.LogMessage(QStringLiteral("first"), grey);
    log.LogMessage(QStringLiteral("\r/help:\rline two\r\nline three\nline four\u2029line five"), red);
    EXPECT_EQ(log.Lines(), QStringList({QStringLiteral("first"), QString(), QStringLiteral("/help:"),
                                        QStringLiteral("line two"), QStringLiteral("line three"),
                                        QStringLiteral("line four"), QStringLiteral("line five")}));
    EXPECT_EQ(log.LineCount(), log.document()->blockCount());
    for (int i = 1; i < log.LineCount(); ++i) EXPECT_EQ(log.LineColor(i), red) << i;
    EXPECT_EQ(log.LineColor(0), grey);
}

TEST_F(LogViewTest, KeepsAnEmptyMessageAsALineOfItsOwn) {
    log.LogMessage(QString(), red);
    log.LogMessage(QStringLiteral("next"), grey);
    EXPECT_EQ(log.Lines(), QStringList({QString(), QStringLiteral("next")}));
    EXPECT_EQ(log.LineColor(0), red);
    EXPECT_EQ(log.LineColor(1), grey);
}

TEST_F(LogViewTest, StampsTheFirstParagraphOfEachMessageWithTheTime) {
    log.SetTimeStamps(true);
    log.LogMessage(QStringLiteral("Игра запущена"), grey);
    log.LogMessage(QStringLiteral("\rbody"), red);
    const QStringList lines = log.Lines();
    ASSERT_EQ(lines.size(), 3);
    const QRegularExpression stamp(QStringLiteral("^\\[([01]\\d|2[0-3]):[0-5]\\d:[0-5]\\d\\]: "));
    EXPECT_TRUE(stamp.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("]: Игра запущена")));
    EXPECT_TRUE(stamp.match(lines[1]).hasMatch());
    EXPECT_EQ(lines[1].size(), 12);
    EXPECT_EQ(lines[2], QStringLiteral("body"));
}

TEST_F(LogViewTest, LinesCarryNoStampUnlessAskedTo) {
    log.LogMessage(QStringLiteral("Gambitron Lite 1.1"), grey);
    EXPECT_EQ(log.Lines().value(0), QStringLiteral("Gambitron Lite 1.1"));
}

TEST_F(LogViewTest, ScrollsToItsLastLineAfterEveryMessage) {
    for (int i = 0; i < 60; ++i) log.LogMessage(QStringLiteral("line %1").arg(i), grey);
    EXPECT_TRUE(AtBottom());
    log.verticalScrollBar()->setValue(0);
    log.LogMessage(QStringLiteral("one more"), red);
    EXPECT_TRUE(AtBottom());
}

TEST_F(LogViewTest, CannotBeEditedByTheUser) {
    log.LogMessage(QStringLiteral("text"), grey);
    log.setFocus();
    QTest::keyClicks(&log, QStringLiteral("abc"));
    QTest::keyClick(&log, Qt::Key_Backspace);
    EXPECT_TRUE(log.isReadOnly());
    EXPECT_EQ(log.toPlainText(), QStringLiteral("text"));
}

TEST_F(LogViewTest, StartsCountingAgainWhenCleared) {
    log.LogMessage(QStringLiteral("a"), grey);
    log.LogMessage(QStringLiteral("b"), grey);
    log.clear();
    log.LogMessage(QStringLiteral("c"), red);
    EXPECT_EQ(log.Lines(), QStringList({QStringLiteral("c")}));
    EXPECT_EQ(log.LineColor(0), red);
}

TEST_F(LogViewTest, ShowsTheStartOfAMegabyteLineAndStillPaints) {
    const QString huge(1 << 20, QChar(u'ж'));
    log.LogMessage(QStringLiteral("x\r") + huge, red);
    log.LogMessage(QStringLiteral("after"), grey);
    ASSERT_EQ(log.LineCount(), 3);
    EXPECT_EQ(log.Lines()[1], huge.left(10000) + QChar(0x2026));
    EXPECT_EQ(log.LineColor(1), red);
    EXPECT_EQ(log.Lines()[2], QStringLiteral("after"));
    EXPECT_FALSE(log.grab().isNull());
    EXPECT_TRUE(AtBottom());
}

TEST_F(LogViewTest, ShowsALineOfTenThousandCharactersWhole) {
    const QString line(10000, QChar(u'ж'));
    log.LogMessage(line, red);
    EXPECT_EQ(log.Lines().value(0), line);
}

TEST_F(LogViewTest, TakesTenThousandLinesInARowAndKeepsTheLastInView) {
    for (int i = 0; i < 10000; ++i)
        log.LogMessage(QStringLiteral("Ход: E2 - E4 %1").arg(i), i % 2 ? red : grey);
    ASSERT_EQ(log.LineCount(), 10000);
    EXPECT_EQ(log.Lines().back(), QStringLiteral("Ход: E2 - E4 9999"));
    EXPECT_EQ(log.LineColor(9999), red);
    EXPECT_TRUE(AtBottom());
    EXPECT_FALSE(log.grab().isNull());
}
