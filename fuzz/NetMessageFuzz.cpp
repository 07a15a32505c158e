// Feeds a peer's bytes to the network window the way its connection delivers them: a server window whose
// opponent is connected and a client window waiting for its side, both over real loopback connections.
// The first byte picks the window and how the rest is cut into reads.
#include "Sound.h"
#include "main.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>

namespace {

TForm1* Server = nullptr;
TForm1* Client = nullptr;

// Fuzzing is silent, whatever the machine's sound card.
class NoSound : public SoundDevice {
public:
    bool Exists() override { return false; }
    void Play(const QString&, const SoundClip&) override {}
};

bool WaitUntil(const std::function<bool()>& Condition) {
    QElapsedTimer clock;
    clock.start();
    while (!Condition() && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return Condition();
}

void Require(bool Condition, const char* What) {
    if (!Condition) {
        std::fprintf(stderr, "fuzz_netmessage: set-up failed: %s\n", What);
        std::abort();
    }
}

} // namespace

// Fontconfig keeps what it allocates for a newly met glyph in caches that live until exit; met during an
// input, those look like leaks of that input.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    Sound::SetDevice(std::make_unique<NoSound>());

    Server = new TForm1;
    Server->SetPort(0);
    Server->StartServer();
    Require(Server->ServerActive(), "listen");
    auto* opponent = new QTcpSocket;
    opponent->connectToHost(QHostAddress::LocalHost, Server->Port());
    Require(WaitUntil([] { return Server->Phase() == TForm1::NetPhase::Playing; }), "server game");

    auto* listener = new QTcpServer;
    Require(listener->listen(QHostAddress::LocalHost, 0), "raw server");
    Client = new TForm1;
    Client->SetPort(listener->serverPort());
    Client->StartClient(QStringLiteral("127.0.0.1"));
    Require(WaitUntil([] { return Client->Phase() == TForm1::NetPhase::WaitingForSide; }),
            "client connection");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size == 0) return 0;
    TForm1* form = (Data[0] & 1) ? Client : Server;
    const std::size_t readSize = (Data[0] >> 1) + 1;
    const QByteArray bytes(reinterpret_cast<const char*>(Data + 1), static_cast<qsizetype>(Size - 1));
    for (qsizetype at = 0; at < bytes.size(); at += static_cast<qsizetype>(readSize))
        form->ReceiveFromOpponent(bytes.mid(at, static_cast<qsizetype>(readSize)));
    QCoreApplication::processEvents();
    return 0;
}
