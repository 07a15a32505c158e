// The engine thread and its hand-over, driven through a real board and event loop.
#include "ChessBrd.h"
#include "ChessThread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace {

// Runs the event loop until the condition holds or the time is up; true when it held.
template <typename Cond> bool ProcessUntil(Cond cond, int timeoutMs = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!cond()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void ProcessFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// A board that waits for an engine which waits for the board never returns; this ends such a test with a
// message instead of leaving it to hang until the test runner's time limit.
class DeadlockWatchdog {
public:
    explicit DeadlockWatchdog(int seconds)
        : FThread([this, seconds] {
              std::unique_lock lock(FMutex);
              if (!FCond.wait_for(lock, std::chrono::seconds(seconds), [this] { return FDone; })) {
                  std::fprintf(stderr, "deadlock: the test did not finish within %d s\n", seconds);
                  std::abort();
              }
          }) {}
    ~DeadlockWatchdog() {
        {
            std::lock_guard lock(FMutex);
            FDone = true;
        }
        FCond.notify_all();
        FThread.join();
    }

private:
    std::mutex FMutex;
    std::condition_variable FCond;
    bool FDone = false;
    std::thread FThread;
};

class EngineThread : public ::testing::Test {
protected:
    void SetUp() override {
        Board = std::make_unique<TChessBrd>();
        Board->SetAnimateMoves(false);
        Board->OnLegalMove = [this](ChessGame*, Square oldSq, Square newSq) {
            Moves.push_back({oldSq, newSq});
        };
        Board->Paint(); // the first full paint lets the engine run
    }

    std::uint64_t Searches() const { return Board->EngineThread()->SearchCount(); }
    bool Parked() const { return Board->EngineThread()->Suspended(); }

    // Starts a long search for White from the initial position.
    void StartDeepSearch() {
        Board->SetSearchDepth(8);
        Board->SetComputerPlaysWhite(true);
        ASSERT_TRUE(ProcessUntil([this] { return Board->GetThinking(); }));
    }

    std::unique_ptr<TChessBrd> Board;
    std::vector<std::pair<Square, Square>> Moves;
};

TEST_F(EngineThread, PlaysBothColoursToTheEndOfAGame) {
    bool over = false;
    int mates = 0, draws = 0;
    Board->OnMate = [&](ChessGame*, Square, Square) { ++mates, over = true; };
    Board->OnStaleMate = [&](ChessGame*, Square, Square) { over = true; };
    Board->OnThreefoldPosition = [&](ChessGame*) { ++draws, over = true; };
    int whiteMoves = 0, blackMoves = 0;
    Board->OnLegalMove = [&](ChessGame* sender, Square, Square newSq) {
        EXPECT_FALSE(Board->GetThinking()) << "the move is handed over after the search";
        (sender->PieceColor(newSq) == 1 ? whiteMoves : blackMoves)++;
    };
    Board->SetSearchDepth(2);
    Board->SetComputerPlaysWhite(true);
    Board->SetComputerPlaysBlack(true);
    ASSERT_TRUE(ProcessUntil([&] { return over; }, 120000));
    // Moves alternate: White made the first, so it made as many as Black or one more.
    EXPECT_GE(whiteMoves, blackMoves);
    EXPECT_LE(whiteMoves, blackMoves + 1);
    EXPECT_GT(whiteMoves + blackMoves, 4);
    // Once the game is over the engine finds nothing to play and parks instead of searching forever.
    const auto searches = Searches();
    ProcessFor(300);
    EXPECT_LE(Searches(), searches + 1);
    EXPECT_TRUE(ProcessUntil([this] { return Parked(); }));
    EXPECT_FALSE(Board->GetThinking());
}

TEST_F(EngineThread, NeverSearchesWhenTheComputerPlaysNeitherColour) {
    ASSERT_TRUE(Board->MakeMove(E2, E4));
    ASSERT_TRUE(Board->MakeMove(E7, E5));
    ProcessFor(200);
    EXPECT_EQ(Searches(), 0u);
    EXPECT_FALSE(Board->GetThinking());
    EXPECT_EQ(Moves.size(), 2u);
}

TEST_F(EngineThread, RepliesToAPersonsMove) {
    Board->SetSearchDepth(3);
    Board->SetComputerPlaysBlack(true);
    ProcessFor(100);
    EXPECT_EQ(Searches(), 0u) << "White is to move";
    ASSERT_TRUE(Board->MakeMove(E2, E4));
    ASSERT_TRUE(ProcessUntil([this] { return Moves.size() == 2; }));
    EXPECT_EQ(Board->PieceColor(Moves[1].second), 0);
    EXPECT_TRUE(Board->GetWhiteToMove());
    ASSERT_TRUE(ProcessUntil([this] { return Parked(); }));
    EXPECT_EQ(Searches(), 1u);
}

TEST_F(EngineThread, SwitchingTheComputerOffAbandonsItsSearch) {
    StartDeepSearch();
    const std::string before = Board->GetPosition();
    Board->SetComputerPlaysWhite(false);
    EXPECT_TRUE(Parked()) << "the setter waits until the engine has parked";
    EXPECT_FALSE(Board->GetThinking());
    ProcessFor(200);
    EXPECT_TRUE(Moves.empty());
    EXPECT_EQ(Board->GetPosition(), before);
}

TEST_F(EngineThread, ChangingTheGameAbandonsTheSearchAndLeavesTheEngineParked) {
    const std::vector<std::function<void(TChessBrd&)>> changes = {
        [](TChessBrd& b) { b.NewGame(); },
        [](TChessBrd& b) { b.SetPosition("init"); },
        [](TChessBrd& b) { b.GotoMove(1, true); },
    };
    for (const auto& change : changes) {
        StartDeepSearch();
        const auto searches = Searches();
        change(*Board);
        EXPECT_TRUE(Parked());
        ProcessFor(150);
        EXPECT_TRUE(Moves.empty());
        EXPECT_EQ(Searches(), searches)
            << "nothing restarts the engine until a role is set or a move is made";
        EXPECT_FALSE(Board->GetThinking());
        Board->SetComputerPlaysWhite(false);
    }
}

TEST_F(EngineThread, ThinkingIsTrueExactlyWhileASearchRuns) {
    EXPECT_FALSE(Board->GetThinking());
    StartDeepSearch();
    EXPECT_TRUE(Board->GetThinking());
    Board->StopThinking();
    EXPECT_FALSE(Board->GetThinking());
}

TEST_F(EngineThread, SearchDepthIsClampedToOneToEight) {
    for (auto [in, out] : {std::pair{0, 1}, {-5, 1}, {1, 1}, {6, 6}, {8, 8}, {9, 8}, {12, 8}}) {
        Board->SetSearchDepth(in);
        EXPECT_EQ(Board->GetSearchDepth(), out) << in;
    }
}

TEST_F(EngineThread, ThinkingPriorityIsAppliedToTheThreadAtOnce) {
    ASSERT_TRUE(ProcessUntil([this] { return Board->EngineThread()->ThreadId() != 0; }));
    const auto tid = static_cast<id_t>(Board->EngineThread()->ThreadId());
    // Counted from the level the program was started at (`nice -n 15`, say), within the kernel's range.
    const int started = getpriority(PRIO_PROCESS, 0);
    Board->SetThinkingPriority(tpLowest);
    EXPECT_EQ(getpriority(PRIO_PROCESS, tid), std::min(started + TChessThread::NiceValue(tpLowest), 19));
    Board->SetThinkingPriority(tpIdle);
    EXPECT_EQ(getpriority(PRIO_PROCESS, tid), 19);
    EXPECT_GE(getpriority(PRIO_PROCESS, tid), started) << "never above the window thread";
    EXPECT_GT(TChessThread::NiceValue(tpLowest), TChessThread::NiceValue(tpNormal))
        << "lower priority, higher nice";
}

TEST_F(EngineThread, ParksWhenTheComputersSideHasNoLegalMove) {
    // Black is stalemated: the engine must hand over nothing and not search again and again.
    Board->SetWhiteToMove(false);
    Board->SetPosition(std::string("k       ") + "  Q     " + std::string(40, ' ') + "        " + "      K ");
    Board->SetComputerPlaysBlack(true);
    ASSERT_TRUE(ProcessUntil([this] { return Searches() >= 1 && Parked(); }));
    ProcessFor(300);
    EXPECT_EQ(Searches(), 1u);
    EXPECT_TRUE(Moves.empty());
    // A change of roles lets it look again.
    Board->SetComputerPlaysBlack(true);
    ASSERT_TRUE(ProcessUntil([this] { return Searches() == 2 && Parked(); }));
}

TEST_F(EngineThread, AMateHandlerMayStartANewGameWithTheComputerToMove) {
    int mates = 0;
    Board->OnMate = [&](ChessGame*, Square, Square) {
        ++mates;
        Board->NewGame();
        Board->SetComputerPlaysBlack(false);
        Board->SetComputerPlaysWhite(true);
    };
    Board->SetSearchDepth(1);
    ASSERT_TRUE(Board->MakeMove(F2, F3));
    ASSERT_TRUE(Board->MakeMove(E7, E5));
    Board->SetComputerPlaysBlack(true);
    ASSERT_TRUE(Board->MakeMove(G2, G4)); // the engine answers D8-H4 mate
    ASSERT_TRUE(ProcessUntil([&] { return mates == 1; }));
    EXPECT_EQ(Moves[3], std::make_pair(D8, H4));
    // The new game's first move comes from the engine playing White.
    ASSERT_TRUE(ProcessUntil([&] { return Moves.size() == 5; }));
    EXPECT_EQ(Board->PieceColor(Moves[4].second), 1);
    EXPECT_FALSE(Board->GetWhiteToMove());
    EXPECT_EQ(Board->GetCurrentMove(), 1);
    ASSERT_TRUE(ProcessUntil([this] { return Parked(); }));
}

TEST_F(EngineThread, TheComputersMoveIsInProgressWhileItIsHandedOver) {
    std::vector<bool> seen;
    Board->OnLegalMove = [&](ChessGame* sender, Square oldSq, Square newSq) {
        Moves.push_back({oldSq, newSq});
        seen.push_back(sender->MoveInProgress());
    };
    Board->SetComputerPlaysBlack(true);
    ASSERT_TRUE(Board->MakeMove(E2, E4));
    EXPECT_FALSE(Board->MoveInProgress()) << "the person's move is complete; the engine searches";
    ASSERT_TRUE(ProcessUntil([this] { return Moves.size() == 2; }));
    EXPECT_FALSE(Board->MoveInProgress());
    EXPECT_EQ(seen, (std::vector<bool>{true, true}));
}

// The engine waits inside its hand-over until the board's handlers return, so nothing they call may wait
// for the engine in turn.
TEST_F(EngineThread, AHandlerMaySwitchTheComputerOffDuringItsMove) {
    const DeadlockWatchdog watchdog(60);
    Board->OnLegalMove = [&](ChessGame* sender, Square oldSq, Square newSq) {
        Moves.push_back({oldSq, newSq});
        if (sender->PieceColor(newSq) == 0) Board->SetComputerPlaysBlack(false);
    };
    Board->SetComputerPlaysBlack(true);
    ASSERT_TRUE(Board->MakeMove(E2, E4));
    ASSERT_TRUE(ProcessUntil([this] { return Moves.size() == 2 && Parked(); }));
    EXPECT_FALSE(Board->GetComputerPlaysBlack());
    ASSERT_TRUE(Board->MakeMove(D2, D4));
    ProcessFor(200);
    EXPECT_EQ(Moves.size(), 3u) << "no reply once the computer is off";
    EXPECT_EQ(Searches(), 1u);
}

TEST_F(EngineThread, AHandlerMayStartANewGameDuringTheComputersMove) {
    const DeadlockWatchdog watchdog(60);
    Board->OnLegalMove = [&](ChessGame* sender, Square oldSq, Square newSq) {
        Moves.push_back({oldSq, newSq});
        if (sender->PieceColor(newSq) == 0) Board->NewGame();
    };
    Board->SetComputerPlaysBlack(true);
    ASSERT_TRUE(Board->MakeMove(E2, E4));
    ASSERT_TRUE(ProcessUntil([this] { return Moves.size() == 2 && Parked(); }));
    ProcessFor(200);
    EXPECT_EQ(Board->GetPosition(), ChessGame().GetPosition());
    EXPECT_TRUE(Board->GetWhiteToMove());
    EXPECT_EQ(Searches(), 1u) << "the new game waits for a role to be set or a move";
    // The new game is played as usual.
    Board->SetComputerPlaysBlack(false);
    Board->SetComputerPlaysWhite(true);
    ASSERT_TRUE(ProcessUntil([this] { return Moves.size() == 3; }));
    EXPECT_EQ(Board->PieceColor(Moves[2].second), 1);
}

TEST_F(EngineThread, AMoveSearchedInAPositionTheBoardNoLongerHoldsIsNeverPlayed) {
    // The hand-over as the engine thread makes it: the move and the position its search started from.
    const auto handOver = [this](Square from, Square to, const EnginePosition& searched) {
        Board->EngineThread()->FOnMoveFound(from, to, searched);
    };
    const EnginePosition before = Board->Snapshot(Board->GetSearchDepth());
    ASSERT_TRUE(Board->MakeMove(E2, E4));
    handOver(E7, E5, before); // legal now, but found for another position
    EXPECT_EQ(Board->PieceAt(E5), ' ');
    EXPECT_EQ(Moves.size(), 1u);
    handOver(E7, E5, Board->Snapshot(Board->GetSearchDepth()));
    EXPECT_EQ(Board->PieceAt(E5), 'p');
    EXPECT_EQ(Moves.size(), 2u);
}

TEST(EngineThreadLifetime, AHandlerMayHaveTheBoardDeletedLaterFromInsideTheComputersMove) {
    QPointer<TChessBrd> board = new TChessBrd;
    board->SetAnimateMoves(false);
    board->Paint();
    board->OnLegalMove = [&](ChessGame* sender, Square, Square newSq) {
        if (sender->PieceColor(newSq) == 0) board->deleteLater();
    };
    board->SetComputerPlaysBlack(true);
    ASSERT_TRUE(board->MakeMove(E2, E4));
    EXPECT_TRUE(ProcessUntil([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return board.isNull();
    }));
}

TEST(EngineThreadLifetimeDeathTest, DeletingTheBoardFromInsideTheComputersMoveIsRefused) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            auto* board = new TChessBrd;
            board->SetAnimateMoves(false);
            board->Paint();
            board->OnLegalMove = [board](ChessGame* sender, Square, Square newSq) {
                if (sender->PieceColor(newSq) == 0) delete board;
            };
            board->SetComputerPlaysBlack(true);
            board->MakeMove(E2, E4);
            ProcessUntil([] { return false; });
        },
        "deleted while a move is in progress");
}

// Too many open files: the engine's wake-up channel cannot be made.
TEST(EngineThreadLifetime, ABoardWhoseEngineCannotStartServesTwoPlayersWithoutWaiting) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' own checks need a spare descriptor";
#endif
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    const int lowestFree = dup(0);
    ASSERT_GE(lowestFree, 0);
    close(lowestFree);
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(lowestFree);
    auto board = std::make_unique<TChessBrd>();
    board->SetAnimateMoves(false);
    board->Paint();
    board->SetComputerPlaysBlack(true);
    {
        // The engine is made on the computer's first turn.
        ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
        const struct Restore {
            const rlimit& Saved;
            ~Restore() { setrlimit(RLIMIT_NOFILE, &Saved); }
        } restore{saved};
        ASSERT_TRUE(board->MakeMove(E2, E4));
    }

    EXPECT_EQ(board->EngineThread(), nullptr) << "made once, not again";
    board->StopThinking();
    EXPECT_FALSE(board->GetThinking());
    EXPECT_TRUE(board->MakeMove(E7, E5));
}

namespace {

std::vector<int> OpenEventFds() {
    std::vector<int> fds;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error).string() == "anon_inode:[eventfd]")
            fds.push_back(std::stoi(entry.path().filename().string()));
    }
    std::sort(fds.begin(), fds.end());
    return fds;
}

} // namespace

// The engine's wake-up channel fails under a running board (here: its descriptor is replaced by one that
// can be neither written nor waited on): the computer stops playing, but nothing waits for it forever.
TEST(EngineThreadLifetime, AFailingWakeUpChannelStopsTheComputerWithoutHangingTheBoard) {
    const DeadlockWatchdog watchdog(60);
    const std::vector<int> before = OpenEventFds();
    auto board = std::make_unique<TChessBrd>();
    ASSERT_NE(board->EngineThread(), nullptr); // made now, so that its descriptor shows here
    std::vector<int> added;
    const std::vector<int> after = OpenEventFds();
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
    if (added.size() != 1) GTEST_SKIP() << "the engine's descriptor cannot be told apart";
    board->SetAnimateMoves(false);
    board->Paint();
    const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(devNull, 0);
    ASSERT_EQ(dup2(devNull, added.front()), added.front());
    close(devNull);

    int moves = 0;
    board->OnLegalMove = [&](ChessGame*, Square, Square) { ++moves; };
    board->SetComputerPlaysBlack(true);
    ASSERT_TRUE(board->MakeMove(E2, E4));
    ProcessFor(300);
    board->SetComputerPlaysBlack(false); // waits for the engine to park
    EXPECT_FALSE(board->GetThinking());
    EXPECT_EQ(moves, 1) << "no move can be handed over";
    board->SetComputerPlaysWhite(true);
    ProcessFor(100);
    EXPECT_FALSE(board->GetThinking()) << "the engine stays parked";
    EXPECT_TRUE(board->MakeMove(E7, E5)) << "two people can still play";
}

TEST_F(EngineThread, IsEndedCleanlyWhateverItIsDoing) {
    // Searching.
    StartDeepSearch();
    Board.reset();
    // Parked.
    Board = std::make_unique<TChessBrd>();
    Board->Paint();
    Board.reset();
    // Never started (no paint), and in custom-engine mode.
    Board = std::make_unique<TChessBrd>();
    Board->SetCustomEngine(true);
    Board.reset();
    SUCCEED();
}

TEST(CustomEngine, IsAskedOnlyAfterAMoveAndReportsARefusedAnswer) {
    TChessBrd board;
    board.SetAnimateMoves(false);
    board.SetCustomEngine(true);
    int asked = 0;
    std::vector<std::pair<Square, Square>> failures;
    board.OnCalculateMove = [&](ChessGame*, Square&, Square&) { ++asked; };
    board.OnCalculationFailed = [&](ChessGame*, Square o, Square n) { failures.push_back({o, n}); };
    board.SetComputerPlaysBlack(true);
    board.Paint();
    ProcessFor(100);
    EXPECT_EQ(asked, 0) << "the board is halted until a move is made";
    ASSERT_TRUE(board.MakeMove(E2, E4));
    EXPECT_GE(asked, 1);
    ASSERT_FALSE(failures.empty());
    EXPECT_EQ(failures.front(), std::make_pair(None, None));
    EXPECT_EQ(board.EngineThread()->SearchCount(), 0u) << "the built-in engine stays idle";
    EXPECT_FALSE(board.GetThinking());
}

TEST(CustomEngine, PlaysTheHandlersMove) {
    TChessBrd board;
    board.SetAnimateMoves(false);
    board.SetCustomEngine(true);
    board.OnCalculateMove = [](ChessGame*, Square& o, Square& n) { o = E7, n = E5; };
    board.SetComputerPlaysBlack(true);
    board.Paint();
    ASSERT_TRUE(board.MakeMove(E2, E4));
    EXPECT_EQ(board.PieceAt(E5), 'p');
    EXPECT_TRUE(board.GetWhiteToMove());
}

// Random start/stop/new-game/role changes: no race, no deadlock, no move by the wrong side.
TEST(EngineThreadStress, SurvivesRandomStartsStopsAndRoleChanges) {
    const int operations = std::getenv("GAMBITRON_LONG") ? 5000 : 300;
    TChessBrd board;
    board.SetAnimateMoves(false);
    int wrongSide = 0, moves = 0;
    board.OnLegalMove = [&](ChessGame* sender, Square, Square newSq) {
        ++moves;
        if ((sender->PieceColor(newSq) == 1) == sender->GetWhiteToMove()) ++wrongSide;
    };
    board.OnMate = [&](ChessGame*, Square, Square) { board.NewGame(); };
    board.Paint();
    std::mt19937 rng(12345);
    for (int i = 0; i < operations; ++i) {
        switch (rng() % 8) {
        case 0:
            board.SetComputerPlaysWhite(rng() % 2);
            break;
        case 1:
            board.SetComputerPlaysBlack(rng() % 2);
            break;
        case 2:
            board.SetSearchDepth(1 + rng() % 4);
            break;
        case 3:
            board.NewGame();
            break;
        case 4:
            board.StopThinking();
            break;
        case 5:
            board.GotoMove(board.FirstMove(), board.FirstWhite());
            break;
        case 6: {
            std::vector<std::pair<Square, Square>> legal;
            for (int f = 1; f <= 64; ++f)
                for (int t = 1; t <= 64; ++t)
                    if (board.IsLegalMove(Square(f), Square(t))) legal.push_back({Square(f), Square(t)});
            if (!legal.empty() && !board.GetThinking()) {
                const auto [f, t] = legal[rng() % legal.size()];
                board.MakeMove(f, t);
            }
            break;
        }
        default:
            break;
        }
        // Let the engine's hand-overs run now and then.
        ProcessFor(static_cast<int>(rng() % 4));
    }
    // However the sequence ended, the engine still plays when it is asked to.
    board.NewGame();
    board.SetSearchDepth(1);
    const int before = moves;
    board.SetComputerPlaysWhite(true);
    board.SetComputerPlaysBlack(true);
    EXPECT_TRUE(ProcessUntil([&] { return moves >= before + 4; }));
    board.SetComputerPlaysWhite(false);
    board.SetComputerPlaysBlack(false);
    EXPECT_TRUE(board.EngineThread()->Suspended());
    EXPECT_FALSE(board.GetThinking());
    EXPECT_EQ(wrongSide, 0);
    EXPECT_GT(moves, 0);
}

} // namespace
