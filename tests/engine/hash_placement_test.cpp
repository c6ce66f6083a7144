#include "engine/hash_placement.h"

#include <gtest/gtest.h>

#include "scripted_runner.h"

namespace krelix {
namespace {

struct PlacementCase {
    std::uint64_t size;
    std::vector<std::size_t> pending;  // what each successive look at the queue sees
    HashPlace expected;
    std::size_t looks;
};

void PrintTo(const PlacementCase& c, std::ostream* out) {
    *out << c.size << " bytes, first look " << (c.pending.empty() ? 0 : c.pending.front());
}

class HashPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(HashPlacement, FollowsTheTwoLookRule) {
    const PlacementCase& c = GetParam();
    test::ScriptedRunner runner(c.pending);
    EXPECT_EQ(c.expected, ChooseHashPlace(c.size, runner));
    EXPECT_EQ(c.looks, runner.looks());
}

INSTANTIATE_TEST_SUITE_P(
    Thresholds, HashPlacement,
    ::testing::Values(
        // Up to 2,000,000 bytes a file never waits for the queue to be asked.
        PlacementCase{0, {0}, HashPlace::Inline, 0},
        PlacementCase{2'000'000, {0}, HashPlace::Inline, 0},
        PlacementCase{2'000'001, {5}, HashPlace::Pool, 1},
        PlacementCase{2'000'001, {6}, HashPlace::Inline, 1},
        // 10,000,000 is not above the large limit: only the short-queue test applies.
        PlacementCase{10'000'000, {7}, HashPlace::Inline, 1},
        PlacementCase{10'000'001, {11}, HashPlace::Pool, 1},
        // A large file refused by the first look gets a second, fresh one.
        PlacementCase{15'000'000, {12, 5}, HashPlace::Pool, 2},
        PlacementCase{15'000'000, {12, 6}, HashPlace::Inline, 2},
        PlacementCase{15'000'000, {30, 30}, HashPlace::Inline, 2}));

}  // namespace
}  // namespace krelix
