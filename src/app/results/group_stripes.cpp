#include "app/results/group_stripes.h"

namespace krelix {
namespace {

// Group keys are digits and hexadecimal letters: ASCII folding is all "without regard to case"
// can mean for them, and it costs nothing per row.
bool SameKey(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

void GroupStripes::Restart() {
    last_ = nullptr;
    kept_.reset();
    on_ = true;
}

bool GroupStripes::Next(const std::string& key) {
    const std::string* previous = last_ != nullptr ? last_ : (kept_ ? &*kept_ : nullptr);
    if (previous == nullptr || !SameKey(key, *previous)) {
        on_ = !on_;
    }
    last_ = &key;
    return on_;
}

void GroupStripes::Settle() {
    if (last_ != nullptr) {
        kept_ = *last_;
        last_ = nullptr;
    }
}

}  // namespace krelix
