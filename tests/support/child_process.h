#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>

namespace krelix::test {

// Threads of this process: the entries of /proc/self/task.
std::size_t ThreadCount();

// Runs body in a forked child that ends with body's result (_exit, so none of the parent's
// destructors run there) and answers the child's wait status. A child forked beside other threads
// may find a lock one of them held taken for ever, so this forks only while the process has one
// thread; a child still running after limit is killed. Every refusal, failure or overrun fails the
// current test and answers nothing.
std::optional<int> RunInChild(const std::function<int()>& body,
                              std::chrono::milliseconds limit = std::chrono::seconds(60));

}  // namespace krelix::test
