#include "engine/hash_placement.h"

namespace krelix {

HashPlace ChooseHashPlace(std::uint64_t size, const TaskRunner& runner) {
    if (size > kLargeFileLimit && runner.PendingCount() < kLargeFileQueueLimit) {
        return HashPlace::Pool;
    }
    if (size > kInlineHashLimit && runner.PendingCount() < kQueueLimit) {
        return HashPlace::Pool;
    }
    return HashPlace::Inline;
}

}  // namespace krelix
