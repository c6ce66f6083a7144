#include "support/child_process.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <thread>

namespace krelix::test {
namespace {

TEST(RunInChild, AnswersHowTheChildEnded) {
    const std::optional<int> exited = RunInChild([] { return 3; });
    ASSERT_TRUE(exited);
    EXPECT_TRUE(WIFEXITED(*exited) && WEXITSTATUS(*exited) == 3);

    const std::optional<int> killed = RunInChild([] {
        ::kill(::getpid(), SIGKILL);
        return 0;
    });
    ASSERT_TRUE(killed);
    EXPECT_TRUE(WIFSIGNALED(*killed) && WTERMSIG(*killed) == SIGKILL);

    const std::optional<int> threw = RunInChild([]() -> int { throw 1; });
    ASSERT_TRUE(threw);
    EXPECT_TRUE(WIFEXITED(*threw) && WEXITSTATUS(*threw) != 0);
}

TEST(RunInChild, RefusesWhileAnotherThreadRuns) {
    std::atomic<bool> done{false};
    std::thread other([&done] {
        while (!done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    std::optional<int> status = 0;
    const auto fork = [&status] { status = RunInChild([] { return 0; }); };
    EXPECT_NONFATAL_FAILURE(fork(), "refusing to fork");
    EXPECT_FALSE(status);
    done = true;
    other.join();
}

// A thread that was just joined may still be listed for a moment; that is no reason to refuse.
TEST(RunInChild, ForksRightAfterTheOtherThreadsWereJoined) {
    for (int round = 0; round < 50; ++round) {
        std::thread([] {}).join();
        const std::optional<int> status = RunInChild([] { return 0; });
        ASSERT_TRUE(status) << round;
    }
}

TEST(RunInChild, KillsAChildThatOverrunsItsLimit) {
    std::optional<int> status = 0;
    const auto fork = [&status] {
        status = RunInChild(
            [] {
                ::pause();
                return 0;
            },
            std::chrono::milliseconds(50));
    };
    EXPECT_NONFATAL_FAILURE(fork(), "was killed");
    EXPECT_FALSE(status);
}

}  // namespace
}  // namespace krelix::test
