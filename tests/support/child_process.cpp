#include "support/child_process.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace krelix::test {
namespace {

using Clock = std::chrono::steady_clock;

// ThreadSanitizer's runtime keeps a background thread of its own, which its fork interceptor
// stops and starts around the fork.
#if defined(__SANITIZE_THREAD__)
constexpr std::size_t kRuntimeThreads = 1;
#else
constexpr std::size_t kRuntimeThreads = 0;
#endif

// A thread that was just joined can stay listed for a moment after its join returned: the kernel
// lets the joiner go before it takes the thread off the list.
bool WaitForOneThread() {
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (ThreadCount() > 1 + kRuntimeThreads) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace

std::size_t ThreadCount() {
    DIR* tasks = ::opendir("/proc/self/task");
    if (tasks == nullptr) {
        return 0;
    }
    std::size_t count = 0;
    while (const dirent* entry = ::readdir(tasks)) {
        count += entry->d_name[0] != '.' ? 1 : 0;
    }
    ::closedir(tasks);
    return count;
}

std::optional<int> RunInChild(const std::function<int()>& body, std::chrono::milliseconds limit) {
    if (!WaitForOneThread()) {
        ADD_FAILURE() << "refusing to fork: the process has " << ThreadCount() - kRuntimeThreads
                      << " threads, and a lock one of them holds would stay taken in the child";
        return std::nullopt;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        ADD_FAILURE() << "fork: " << std::strerror(errno);
        return std::nullopt;
    }
    if (child == 0) {
        int result = 126;
        try {
            result = body();
        } catch (...) {
        }
        ::_exit(result);
    }
    const auto deadline = Clock::now() + limit;
    int status = 0;
    for (;;) {
        const pid_t ended = ::waitpid(child, &status, WNOHANG);
        if (ended == child) {
            return status;
        }
        if (ended < 0 && errno != EINTR) {
            ADD_FAILURE() << "waitpid: " << std::strerror(errno);
            return std::nullopt;
        }
        if (Clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            ADD_FAILURE() << "the child ran longer than " << limit.count() << " ms and was killed";
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace krelix::test
