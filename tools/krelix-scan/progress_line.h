#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "engine/progress_sink.h"

namespace krelix {

// The text of the progress line: files found, bytes hashed of the total once hashing has begun,
// and the current path, losing its front first so that the line fits in width columns. Control
// characters in the path show as "?", so that a name cannot move the cursor.
std::string ProgressLineText(const ProgressNotice& notice, std::size_t width);

// Shows the latest notice on one terminal line, rewritten in place at most every 100 ms.
// Notices come from the search thread and the pool's workers at once; one that comes too soon,
// or while another is being written, is dropped.
class TerminalProgress final : public ProgressSink {
  public:
    explicit TerminalProgress(int fd) : fd_(fd) {}
    void OnProgress(const ProgressNotice& notice) override;
    // Removes the line for good, so that the summary starts on a clean one. After the run only.
    void Clear();

  private:
    static constexpr std::int64_t kIntervalNs = 100'000'000;
    const int fd_;
    std::atomic<std::int64_t> nextNs_{0};  // steady clock
    std::mutex mutex_;                     // one writer at a time
    bool shown_ = false;
    bool cleared_ = false;
};

}  // namespace krelix
