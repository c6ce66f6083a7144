#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>

#include "support/temp_tree.h"

namespace krelix::test {

enum class ChildOutcome { Passed, Failed, CannotDropRoot };

// Runs check in a child process that, when the tests run as root, has become the ordinary user
// "nobody" first, so that permissions hold for it. The child ends without running the parent's
// destructors.
inline ChildOutcome RunAsOrdinaryUser(const std::function<bool()>& check) {
    constexpr int kCannotDropRoot = 77;
    const pid_t child = ::fork();
    if (child < 0) {
        ADD_FAILURE() << "fork failed";
        return ChildOutcome::Failed;
    }
    if (child == 0) {
        if (RunningAsRoot() && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            std::_Exit(kCannotDropRoot);
        }
        std::_Exit(check() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return ChildOutcome::Failed;
    }
    if (WEXITSTATUS(status) == kCannotDropRoot) {
        return ChildOutcome::CannotDropRoot;
    }
    return WEXITSTATUS(status) == 0 ? ChildOutcome::Passed : ChildOutcome::Failed;
}

}  // namespace krelix::test
