#include "engine/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <boost/thread/exceptions.hpp>
#include <chrono>
#include <future>
#include <latch>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

namespace krelix {
namespace {

using Ids = std::set<std::thread::id>;

// Runs `count` tasks on the pool and gives back the threads that ran them.
Ids RunBatch(WorkerPool& pool, int count, std::atomic<int>& done) {
    std::mutex mutex;
    Ids ids;
    for (int i = 0; i < count; ++i) {
        pool.Schedule([&] {
            {
                std::lock_guard<std::mutex> lock(mutex);
                ids.insert(std::this_thread::get_id());
            }
            ++done;
        });
    }
    pool.Wait();
    return ids;
}

TEST(WorkerPool, RunsEveryTaskOnTheSameTwoWorkersAcrossBatches) {
    WorkerPool pool;
    ASSERT_EQ(2u, pool.LiveWorkers());
    std::atomic<int> done{0};
    const Ids first = RunBatch(pool, 200, done);
    EXPECT_EQ(200, done.load());
    const Ids second = RunBatch(pool, 200, done);
    EXPECT_EQ(400, done.load());

    Ids all = first;
    all.insert(second.begin(), second.end());
    EXPECT_LE(all.size(), 2u);
    EXPECT_EQ(0u, all.count(std::this_thread::get_id()));
    EXPECT_EQ(0u, pool.PendingCount());
    EXPECT_EQ(0u, pool.ActiveCount());
}

TEST(WorkerPool, CountsQueuedTasksApartFromRunningOnes) {
    WorkerPool pool;
    std::latch started(2);
    std::promise<void> gate;
    std::shared_future<void> open = gate.get_future().share();
    for (int i = 0; i < 2; ++i) {
        pool.Schedule([&started, open] {
            started.count_down();
            open.wait();
        });
    }
    started.wait();
    std::atomic<int> queuedRan{0};
    for (int i = 0; i < 3; ++i) {
        pool.Schedule([&] { ++queuedRan; });
    }
    EXPECT_EQ(3u, pool.PendingCount());
    EXPECT_EQ(2u, pool.ActiveCount());

    gate.set_value();
    pool.Wait();
    EXPECT_EQ(3, queuedRan.load());
    EXPECT_EQ(0u, pool.PendingCount());
}

TEST(WorkerPool, AThrowingTaskLeavesThePoolWorking) {
    WorkerPool pool;
    pool.Schedule([] { throw std::runtime_error("unreadable"); });
    std::atomic<int> done{0};
    RunBatch(pool, 10, done);
    EXPECT_EQ(10, done.load());
}

TEST(WorkerPool, WithoutWorkersEveryTaskRunsOnTheCaller) {
    WorkerPool pool(
        [](boost::function<void()>) -> boost::thread { throw boost::thread_resource_error(); });
    EXPECT_EQ(0u, pool.LiveWorkers());
    std::atomic<int> done{0};
    const Ids ids = RunBatch(pool, 5, done);
    EXPECT_EQ(5, done.load());
    EXPECT_EQ(Ids{std::this_thread::get_id()}, ids);
}

TEST(WorkerPool, OneFailedStartLeavesOneWorkerForTheQueue) {
    int starts = 0;
    WorkerPool pool([&starts](boost::function<void()> body) -> boost::thread {
        if (++starts == 1) {
            throw boost::thread_resource_error();
        }
        return boost::thread(std::move(body));
    });
    EXPECT_EQ(1u, pool.LiveWorkers());
    std::atomic<int> done{0};
    const Ids ids = RunBatch(pool, 50, done);
    EXPECT_EQ(50, done.load());
    EXPECT_EQ(1u, ids.size());
    EXPECT_EQ(0u, ids.count(std::this_thread::get_id()));
}

TEST(WorkerPool, ShutdownFinishesQueuedWorkAndLaterTasksRunInline) {
    WorkerPool pool;
    std::atomic<int> done{0};
    for (int i = 0; i < 20; ++i) {
        pool.Schedule([&] { ++done; });
    }
    pool.Shutdown();
    EXPECT_EQ(20, done.load());
    EXPECT_EQ(0u, pool.LiveWorkers());
    const Ids ids = RunBatch(pool, 3, done);
    EXPECT_EQ(23, done.load());
    EXPECT_EQ(Ids{std::this_thread::get_id()}, ids);
}

}  // namespace
}  // namespace krelix
