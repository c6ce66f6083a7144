#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>

#include "support/child_process.h"
#include "support/temp_tree.h"

namespace krelix::test {

enum class ChildOutcome { Passed, Failed, CannotDropRoot };

// Runs check in a child process (see RunInChild) that, when the tests run as root, has become the
// ordinary user "nobody" first, so that permissions hold for it. Anything check needs threads for
// must start inside check.
inline ChildOutcome RunAsOrdinaryUser(const std::function<bool()>& check) {
    constexpr int kCannotDropRoot = 77;
    const std::optional<int> status = RunInChild([&check] {
        if (RunningAsRoot() && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            return kCannotDropRoot;
        }
        return check() ? 0 : 1;
    });
    if (!status || !WIFEXITED(*status)) {
        return ChildOutcome::Failed;
    }
    if (WEXITSTATUS(*status) == kCannotDropRoot) {
        return ChildOutcome::CannotDropRoot;
    }
    return WEXITSTATUS(*status) == 0 ? ChildOutcome::Passed : ChildOutcome::Failed;
}

}  // namespace krelix::test
