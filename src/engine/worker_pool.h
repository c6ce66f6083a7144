#pragma once

#include <boost/thread/condition_variable.hpp>
#include <boost/thread/mutex.hpp>
#include <boost/thread/thread.hpp>
#include <cstddef>
#include <deque>
#include <functional>
#include <vector>

#include "engine/task_runner.h"

namespace krelix {

// A fixed set of worker threads, started once and kept for the pool's life, taking tasks from an
// unbounded first-in, first-out queue. The pool's lock guards only the queue and the counters; it
// is never held while a task runs.
class WorkerPool final : public TaskRunner {
  public:
    static constexpr int kWorkers = 2;

    // Starts one thread; throws (boost::thread_resource_error) when the system refuses.
    using ThreadStarter = std::function<boost::thread(boost::function<void()>)>;

    WorkerPool();
    // Tests pass a starter that fails to see the pool carry on with fewer or no workers.
    explicit WorkerPool(const ThreadStarter& starter);
    ~WorkerPool() override;
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    void Schedule(Task task) override;
    std::size_t PendingCount() const override;
    void Wait() override;
    std::size_t ActiveCount() const;
    // Workers that were started and have not ended.
    std::size_t LiveWorkers() const;
    // Waits, then ends and joins the workers. Later tasks run at once on the caller's thread.
    void Shutdown();

  private:
    void WorkerLoop();

    mutable boost::mutex mutex_;
    boost::condition_variable taskQueued_;  // a task arrived or shutdown was asked
    boost::condition_variable workerIdle_;  // a worker finished a task
    std::deque<Task> queue_;
    std::size_t active_ = 0;
    std::size_t live_ = 0;
    bool stopping_ = false;
    std::vector<boost::thread> threads_;
};

}  // namespace krelix
