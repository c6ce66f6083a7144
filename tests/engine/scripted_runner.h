#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <vector>

#include "engine/task_runner.h"

namespace krelix::test {

// A task runner whose pending count follows a script, one value per look (the last value
// repeats), and which keeps scheduled tasks until Wait runs them on the caller's thread.
class ScriptedRunner final : public TaskRunner {
  public:
    explicit ScriptedRunner(std::vector<std::size_t> script) : script_(std::move(script)) {}

    void Schedule(Task task) override { tasks_.push_back(std::move(task)); }
    std::size_t PendingCount() const override {
        ++looks_;
        if (script_.empty()) {
            return 0;
        }
        const std::size_t at = next_ < script_.size() ? next_++ : script_.size() - 1;
        return script_[at];
    }
    void Wait() override {
        while (!tasks_.empty()) {
            Task task = std::move(tasks_.front());
            tasks_.pop_front();
            if (beforeTask) {
                beforeTask(ran_);
            }
            ++ran_;
            task();
        }
    }

    std::size_t looks() const { return looks_; }
    std::size_t queued() const { return tasks_.size(); }
    std::size_t ranFromQueue() const { return ran_; }

    // Called with the number of tasks run so far before each queued task runs.
    std::function<void(std::size_t)> beforeTask;

  private:
    std::vector<std::size_t> script_;
    mutable std::size_t next_ = 0;
    mutable std::size_t looks_ = 0;
    std::deque<Task> tasks_;
    std::size_t ran_ = 0;
};

}  // namespace krelix::test
