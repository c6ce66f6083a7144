#pragma once

#include <boost/function.hpp>
#include <cstddef>

namespace krelix {

// Where the comparison sends hash work: the engine's worker pool, or a stand-in in tests that
// scripts the pending count so the inline-or-queue decisions can be checked without timing.
class TaskRunner {
  public:
    using Task = boost::function<void()>;

    virtual ~TaskRunner() = default;
    // Always accepted; the task runs exactly once, on a worker or, with none alive, at once.
    virtual void Schedule(Task task) = 0;
    // Tasks queued and not yet taken by a worker (running tasks do not count).
    virtual std::size_t PendingCount() const = 0;
    // Returns once nothing is queued and nothing is running.
    virtual void Wait() = 0;
};

}  // namespace krelix
