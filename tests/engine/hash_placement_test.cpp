#include "engine/hash_placement.h"

#include <gtest/gtest.h>

#include "scripted_runner.h"

namespace krelix {
namespace {

TEST(HashPlacement, QueuesWhileTheQueueIsShortElseHashesInline) {
    for (std::size_t pending = 0; pending <= kQueueLimit + 1; ++pending) {
        test::ScriptedRunner runner({pending});
        EXPECT_EQ(pending < kQueueLimit ? HashPlace::Pool : HashPlace::Inline,
                  ChooseHashPlace(runner))
            << pending << " pending";
        EXPECT_EQ(1u, runner.looks());
    }
}

}  // namespace
}  // namespace krelix
