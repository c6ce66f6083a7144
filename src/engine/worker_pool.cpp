#include "engine/worker_pool.h"

#include <boost/thread/exceptions.hpp>
#include <exception>
#include <utility>

namespace krelix {
namespace {

boost::thread StartThread(boost::function<void()> body) {
    return boost::thread(std::move(body));
}

}  // namespace

WorkerPool::WorkerPool() : WorkerPool(StartThread) {}

WorkerPool::WorkerPool(const ThreadStarter& starter) {
    threads_.reserve(kWorkers);
    for (int i = 0; i < kWorkers; ++i) {
        {
            boost::lock_guard<boost::mutex> lock(mutex_);
            ++live_;
        }
        try {
            threads_.push_back(starter([this] { WorkerLoop(); }));
        } catch (const std::exception&) {
            // Fewer workers, or none: Schedule then hashes on the caller's thread.
            boost::lock_guard<boost::mutex> lock(mutex_);
            --live_;
        }
    }
}

WorkerPool::~WorkerPool() {
    Shutdown();
}

void WorkerPool::Schedule(Task task) {
    {
        boost::lock_guard<boost::mutex> lock(mutex_);
        if (live_ > 0 && !stopping_) {
            queue_.push_back(std::move(task));
            taskQueued_.notify_one();
            return;
        }
    }
    task();
}

std::size_t WorkerPool::PendingCount() const {
    boost::lock_guard<boost::mutex> lock(mutex_);
    return queue_.size();
}

std::size_t WorkerPool::ActiveCount() const {
    boost::lock_guard<boost::mutex> lock(mutex_);
    return active_;
}

std::size_t WorkerPool::LiveWorkers() const {
    boost::lock_guard<boost::mutex> lock(mutex_);
    return live_;
}

void WorkerPool::Wait() {
    boost::unique_lock<boost::mutex> lock(mutex_);
    workerIdle_.wait(lock, [this] { return queue_.empty() && active_ == 0; });
}

void WorkerPool::Shutdown() {
    Wait();
    {
        boost::lock_guard<boost::mutex> lock(mutex_);
        stopping_ = true;
    }
    taskQueued_.notify_all();
    for (boost::thread& thread : threads_) {
        if (thread.joinable()) {
            thread.join();
        }
    }
    threads_.clear();
}

void WorkerPool::WorkerLoop() {
    boost::unique_lock<boost::mutex> lock(mutex_);
    for (;;) {
        taskQueued_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) {
            break;
        }
        Task task = std::move(queue_.front());
        queue_.pop_front();
        ++active_;
        lock.unlock();
        try {
            task();
        } catch (const std::exception&) {
            // A failed task loses only its own file; the pool and Wait must go on.
        }
        task.clear();
        lock.lock();
        --active_;
        workerIdle_.notify_all();
    }
    --live_;
    workerIdle_.notify_all();
}

}  // namespace krelix
