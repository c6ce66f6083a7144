#include "engine/hash_placement.h"

namespace krelix {

HashPlace ChooseHashPlace(const TaskRunner& runner) {
    return runner.PendingCount() < kQueueLimit ? HashPlace::Pool : HashPlace::Inline;
}

}  // namespace krelix
