#include "app/search/progress_mailbox.h"

namespace krelix {

void ProgressMailbox::OnProgress(const ProgressNotice& notice) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!latched_) {
            latest_ = notice;
            fresh_ = true;
            latched_ = notice.kind == ProgressNotice::Kind::ComparisonEnded;
        }
    }
    if (hook_) {
        hook_(notice);
    }
}

void ProgressMailbox::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    latest_ = ProgressNotice{};
    fresh_ = false;
    latched_ = false;
}

std::optional<ProgressNotice> ProgressMailbox::Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!fresh_) {
        return std::nullopt;
    }
    fresh_ = false;
    return latest_;
}

bool ProgressMailbox::Latched() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return latched_;
}

}  // namespace krelix
