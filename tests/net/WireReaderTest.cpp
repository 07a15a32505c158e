// The wire messages and the reader that cuts a connection's byte stream into them.
#include "WireReader.h"
#include "Wire.h"

#include <gtest/gtest.h>

namespace {

using Messages = QList<QByteArray>;

TEST(WireMessages, AreWrittenByteForByte) {
    EXPECT_EQ(Wire::SideMessage(true), QByteArray("#:Side:White"));
    EXPECT_EQ(Wire::SideMessage(false), QByteArray("#:Side:Black"));
    EXPECT_EQ(Wire::MoveMessage(true, E2, E4), QByteArray("#:Move:5254"));
    EXPECT_EQ(Wire::MoveMessage(false, E7, E5), QByteArray("$:Move:5755"));
    EXPECT_EQ(Wire::MoveMessage(false, A8, H1), QByteArray("$:Move:1881"));
    EXPECT_EQ(Wire::BusyMessage(), QByteArray("#:Busy"));
}

TEST(WireMessages, ChatTextTravelsInWindows1251) {
    EXPECT_EQ(Wire::ChatMessage(false, QStringLiteral("Да")), QByteArray("$:Chat:\xC4\xE0"));
    EXPECT_EQ(Wire::DecodeText("\xCF\xF0\xE8\xE2\xE5\xF2"), QStringLiteral("Привет"));
}

TEST(WireMessages, MovesAreReadOnlyFromFourDigitsOneToEight) {
    Square from = None, to = None;
    ASSERT_TRUE(Wire::ParseMove("#:Move:5254", from, to));
    EXPECT_EQ(from, E2);
    EXPECT_EQ(to, E4);
    ASSERT_TRUE(Wire::ParseMove("$?Move?1881", from, to)) << "positions 2 and 7 are not examined";
    EXPECT_EQ(from, A8);
    EXPECT_EQ(to, H1);
    for (const char* bad :
         {"#:Move:e2e4", "#:Move:0254", "#:Move:5294", "#:Move:525", "#:Move:", "#:Mo", "", "#:Move:52 4"})
        EXPECT_FALSE(Wire::ParseMove(QByteArrayView(bad), from, to)) << bad;
}

TEST(WireMessages, TagsAreReadFromPositionsThreeToSix) {
    EXPECT_EQ(Wire::TagOf("#:Side:White"), Wire::Tag::Side);
    EXPECT_EQ(Wire::TagOf("$xChat"), Wire::Tag::Chat);
    EXPECT_EQ(Wire::TagOf("#:Busy"), Wire::Tag::Busy);
    EXPECT_EQ(Wire::TagOf("#:Bus"), Wire::Tag::Unknown);
    EXPECT_EQ(Wire::TagOf("#:move:5254"), Wire::Tag::Unknown);
    EXPECT_TRUE(Wire::Payload("#:Busy").isEmpty());
    EXPECT_EQ(Wire::Payload("#:Chat:a"), QByteArrayView("a"));
}

TEST(WireMessages, AChatReadEndingWithItsSendersMoveGivesUpTheMove) {
    struct Case {
        const char* Read;
        bool Splits;
        const char* Text;
    };
    const Case cases[] = {
        {"$:Chat:hi there$:Move:2836", true, "hi there"},
        {"#:Chat:hi#:Move:5254", true, "hi"},
        {"$:Chat:$:Move:5755", true, ""},
        {"$:Chat:hi#:Move:5755", false, nullptr},   // the other side's mark
        {"$:Chat:hi$:Move:0755", false, nullptr},   // no square
        {"$:Chat:hi$:Move:575", false, nullptr},    // cut short
        {"$:Chat:hi$-Move:5755", false, nullptr},   // not a move message
        {"$:Chat:hi$:Move:5755 ", false, nullptr},  // not at the end
        {"$:Move:5755$:Move:5755", false, nullptr}, // no chat
    };
    for (const Case& c : cases) {
        QByteArrayView text, move;
        ASSERT_EQ(Wire::SplitTrailingMove(c.Read, text, move), c.Splits) << c.Read;
        if (!c.Splits) continue;
        EXPECT_EQ(text, QByteArrayView(c.Text)) << c.Read;
        EXPECT_EQ(move, QByteArrayView(c.Read).last(Wire::MoveLength)) << c.Read;
    }
}

TEST(WireMessages, NamesTheFirstCharacterWindows1251CannotCarry) {
    QString refused;
    EXPECT_TRUE(Wire::CanEncode(QStringLiteral("Привет, ёж № 5 € «»")));
    EXPECT_FALSE(Wire::CanEncode(QStringLiteral("ok ☺ 中"), &refused));
    EXPECT_EQ(refused, QStringLiteral("☺"));
    EXPECT_FALSE(Wire::CanEncode(QStringLiteral("a\U0001F600b"), &refused));
    EXPECT_EQ(refused, QStringLiteral("\U0001F600")) << "a pair of surrogates is one character";
}

TEST(WireReaderSplitting, SeparatesMessagesOfKnownLength) {
    WireReader reader;
    EXPECT_EQ(reader.Feed("#:Side:White#:Move:5254"), (Messages{"#:Side:White", "#:Move:5254"}));
    EXPECT_EQ(reader.Feed("$:Move:5755$:Move:1213"), (Messages{"$:Move:5755", "$:Move:1213"}));
    EXPECT_EQ(reader.Feed("#:Busy"), (Messages{"#:Busy"}));
    EXPECT_TRUE(reader.Held().isEmpty());
}

TEST(WireReaderSplitting, ChatRunsToTheEndOfItsReadEvenOverAMoveText) {
    WireReader reader;
    EXPECT_EQ(reader.Feed("$:Chat:play #:Move:5254 now"), (Messages{"$:Chat:play #:Move:5254 now"}));
    EXPECT_EQ(reader.Feed("$:Move:5755$:Chat:hi$:Move:1213"),
              (Messages{"$:Move:5755", "$:Chat:hi$:Move:1213"}));
}

TEST(WireReaderSplitting, UnknownTextIsPassedOnWhole) {
    WireReader reader;
    EXPECT_EQ(reader.Feed("hello#:Move:5254"), (Messages{"hello#:Move:5254"}));
    EXPECT_EQ(reader.Feed("#:Xyzw:5254#:Move:1213"), (Messages{"#:Xyzw:5254#:Move:1213"}));
    EXPECT_EQ(reader.Feed("#:Side:Green"), (Messages{"#:Side:Green"}));
    EXPECT_TRUE(reader.Held().isEmpty());
}

TEST(WireReaderJoining, CompletesAMoveCutShort) {
    WireReader reader;
    EXPECT_TRUE(reader.Feed("$:Mo").isEmpty());
    EXPECT_TRUE(reader.Feed("ve:57").isEmpty());
    EXPECT_EQ(reader.Feed("55$:Chat:x"), (Messages{"$:Move:5755", "$:Chat:x"}));
    EXPECT_TRUE(reader.Feed("#").isEmpty());
    EXPECT_TRUE(reader.Feed(":Side:Bl").isEmpty());
    EXPECT_EQ(reader.Feed("ack"), (Messages{"#:Side:Black"}));
}

TEST(WireReaderJoining, HoldsNothingThatCannotBecomeAMessage) {
    WireReader reader;
    EXPECT_EQ(reader.Feed("$:Move:5x"), (Messages{"$:Move:5x"}));
    EXPECT_EQ(reader.Feed("$:Mx"), (Messages{"$:Mx"}));
    EXPECT_EQ(reader.Feed("x"), (Messages{"x"}));
    EXPECT_TRUE(reader.Held().isEmpty());
    EXPECT_TRUE(reader.Feed("#:Move:52").isEmpty());
    reader.Clear();
    EXPECT_EQ(reader.Feed("54"), (Messages{"54"})) << "a held part does not outlive its connection";
}

TEST(WireReaderJoining, APartTheNextReadDoesNotContinueCannotSwallowTheMessageAfterIt) {
    WireReader reader;
    EXPECT_TRUE(reader.Feed("$5").isEmpty()) << "the tail of a chat line cut by the network";
    EXPECT_EQ(reader.Feed("$:Move:5755"), (Messages{"$5", "$:Move:5755"}));
    EXPECT_TRUE(reader.Feed("#:Move:52").isEmpty());
    EXPECT_EQ(reader.Feed("#:Chat:hi"), (Messages{"#:Move:52", "#:Chat:hi"}));
    EXPECT_TRUE(reader.Feed("#:Si").isEmpty());
    EXPECT_EQ(reader.Feed("#:Move:5254"), (Messages{"#:Si", "#:Move:5254"}));
    EXPECT_TRUE(reader.Held().isEmpty());
}

TEST(WireReaderJoining, NeverHoldsMoreThanOneMessage) {
    WireReader reader;
    QByteArray stream;
    for (int i = 0; i < 1000; ++i) stream += "$:Move:5755";
    stream += "$:Move:57";
    EXPECT_EQ(reader.Feed(stream).size(), 1000);
    EXPECT_EQ(reader.Held(), QByteArray("$:Move:57"));
    EXPECT_EQ(reader.Feed(QByteArray(1 << 20, 'x')).size(), 2)
        << "the cut move ends as a bad move, then the junk";
    EXPECT_TRUE(reader.Held().isEmpty());
}

} // namespace
