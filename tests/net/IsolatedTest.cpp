// Finding games on the network, against a real avahi-daemon in a private network namespace with only
// loopback (tests/net/run_isolated.sh, which sets GAMBITRON_ISOLATED). Elsewhere these tests skip: they
// must never advertise anything on the machine's real network.
#include "ChessBrd.h"
#include "GameDiscovery.h"
#include "NetTestSupport.h"

#include <cstdlib>

using namespace NetTest;

namespace {

class Isolated : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariable("GAMBITRON_ISOLATED") != QStringLiteral("1"))
            GTEST_SKIP() << "runs only inside tests/net/run_isolated.sh's private network namespace";
    }
    WindowTestHarness harness;
};

TEST_F(Isolated, AListeningServerIsFoundPickedAndPlayed) {
    auto server = NewWindow();
    server->SetPort(0);
    server->SetServerSide(false);
    server->StartServer();
    ASSERT_TRUE(server->ServerActive());
    GameDiscovery& published = server->Discovery();
    ASSERT_TRUE(WaitUntil([&] { return published.Published(); }, 15000)) << "the daemon took the game";

    auto client = NewWindow();
    QTest::mouseClick(client->RadioButton2, Qt::LeftButton);
    QTest::mouseClick(client->RadioButton5, Qt::LeftButton);
    EXPECT_TRUE(client->ComboBox6->isVisible());
    ASSERT_TRUE(
        WaitUntil([&] { return client->ComboBox6->findText(published.PublishedName()) >= 0; }, 15000));
    GameDiscovery::Game found;
    ASSERT_TRUE(client->Discovery().Find(published.PublishedName(), found));
    EXPECT_EQ(found.Side, QStringLiteral("black"));
    EXPECT_EQ(found.Version, QCoreApplication::applicationVersion());
    EXPECT_EQ(found.Address, QStringLiteral("127.0.0.1"));

    // Picking the game fills in where it is; "Начать игру" connects there.
    client->Edit1->clear();
    const int at = client->ComboBox6->findText(published.PublishedName());
    client->ComboBox6->setCurrentIndex(at);
    emit client->ComboBox6->activated(at);
    EXPECT_EQ(client->Edit1->text(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(client->SpinBox1->value(), server->Port());
    QTest::mouseClick(client->Button1, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return client->Phase() == TForm1::NetPhase::Playing; }));
    EXPECT_TRUE(client->PlayingWhite);
    WindowTestHarness::DragPiece(*client->ChessBrd1, E2, E4);
    ASSERT_TRUE(WaitUntil([&] { return server->ChessBrd1->PieceAt(E4) == 'P'; }));
    EXPECT_TRUE(BoardMatchesMoveList(*server));

    // The game goes from the list when its server stops listening.
    server->ReturnToControlPanel();
    EXPECT_TRUE(WaitUntil([&] { return client->ComboBox6->findText(published.PublishedName()) < 0; }, 15000));
}

TEST_F(Isolated, AGameIsConnectedToByItsNameEvenBeforeItHasBeenSeen) {
    auto client = NewWindow();
    auto server = NewWindow();
    server->SetPort(0);
    server->StartServer();
    const QString name = server->Discovery().PublishedName();
    client->Network().SetConnectTimeout(15000);
    client->StartClient(name);
    EXPECT_TRUE(LogHas(*client, QStringLiteral("Поиск игры «%1»...").arg(name)));
    ASSERT_TRUE(WaitUntil([&] { return client->Phase() == TForm1::NetPhase::Playing; }, 15000));
    EXPECT_FALSE(client->PlayingWhite);
}

TEST_F(Isolated, AGameNobodyAdvertisesIsNotFound) {
    auto client = NewWindow();
    client->Network().SetConnectTimeout(500);
    client->StartClient(QStringLiteral("Нет такой игры"));
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*client, QStringLiteral("Игра завершена")); }));
    EXPECT_TRUE(LogHas(*client, QStringLiteral("Имя не найдено: «Нет такой игры»")));
}

TEST_F(Isolated, AnAddressWithoutARouteSaysSo) {
    // Only loopback here: any other address has no route at all.
    auto client = NewWindow();
    client->SetPort(5000);
    client->StartClient(QStringLiteral("192.0.2.1"));
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*client, QStringLiteral("Игра завершена")); }));
    EXPECT_TRUE(LogHas(*client, QStringLiteral("Нет пути к 192.0.2.1: сеть или компьютер недоступны")));
}

// A peer that vanishes without closing (a pulled cable) is noticed by keep-alive on both ends: here the only
// link goes down under a running game, so that nothing at all arrives any more, not even a reset.
TEST_F(Isolated, APeerThatVanishesWithoutAWordEndsTheGameOnBothSides) {
    if (!std::getenv("GAMBITRON_LONG")) GTEST_SKIP() << "set GAMBITRON_LONG: it waits out the keep-alive";
    auto server = NewServer();
    auto client = NewClient(server->Port());
    ASSERT_TRUE(WaitUntil([&] { return client->Phase() == TForm1::NetPhase::Playing; }));
    ASSERT_TRUE(WaitUntil([&] { return server->Phase() == TForm1::NetPhase::Playing; }));

    ASSERT_EQ(std::system("ip link set lo down"), 0);
    // Keep-alive gives up after 10 + 3 x 5 s at most, the unanswered-data limit after 20 s.
    const bool ended = WaitUntil(
        [&] {
            return LogHas(*server, QStringLiteral("Игра завершена")) &&
                   LogHas(*client, QStringLiteral("Игра завершена"));
        },
        40000);
    // The link comes back for the tests after this one, multicast included for the daemon.
    EXPECT_EQ(std::system("ip link set lo up && ip link set lo multicast on"), 0);
    ASSERT_TRUE(ended) << LogTexts(*server).join(QLatin1Char('|')).toStdString() << " / "
                       << LogTexts(*client).join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(LogHas(*server, QStringLiteral("Ошибка клиента")));
    EXPECT_TRUE(LogHas(*client, QStringLiteral("Ошибка подключения")));
    EXPECT_TRUE(LogHas(*client, QStringLiteral("Новая игра: Ctrl+N")));
}

} // namespace
