#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include "engine/progress_sink.h"

namespace krelix {

// The engine's progress sink for the window: keeps only the latest notice, which the progress
// window fetches on its own timer, so a fast walk costs a string copy per notice and never
// floods the event queue. After ComparisonEnded the box is latched: later notices of the run are
// dropped, so no stale path can show once the comparison is over. Any thread may deliver;
// Reset and Take belong to the UI thread.
class ProgressMailbox final : public ProgressSink {
  public:
    // Called on the delivering thread after each notice is stored, latched ones included (test
    // seam for acting at an exact point of a run). Set it only while no run is going.
    using Hook = std::function<void(const ProgressNotice&)>;

    void OnProgress(const ProgressNotice& notice) override;

    // Empties the box and clears the latch, for a new run.
    void Reset();
    // The latest notice if one came since the last Take.
    std::optional<ProgressNotice> Take();
    bool Latched() const;

    void SetHook(Hook hook) { hook_ = std::move(hook); }

  private:
    mutable std::mutex mutex_;
    ProgressNotice latest_;
    bool fresh_ = false;
    bool latched_ = false;
    Hook hook_;
};

}  // namespace krelix
