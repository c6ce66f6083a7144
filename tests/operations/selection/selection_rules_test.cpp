#include "operations/selection/selection_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace krelix {
namespace {

struct Member {
    std::int64_t modified;
    bool deleted = false;
};

struct KeeperCase {
    const char* name;
    std::vector<Member> members;
    int keptBySelectOldest;  // index of the member left unchecked, -1 for none
    int keptBySelectNewest;
};

class KeeperTest : public ::testing::TestWithParam<KeeperCase> {};

TEST_P(KeeperTest, KeepsTheRightMember) {
    const KeeperCase& c = GetParam();
    std::vector<CFileItem> items(c.members.size());
    std::vector<const CFileItem*> members;
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i].modified = c.members[i].modified;
        items[i].deleted = c.members[i].deleted ? 1 : 0;
        members.push_back(&items[i]);
    }
    const auto index = [&](const CFileItem* keeper) {
        return keeper == nullptr ? -1 : static_cast<int>(keeper - items.data());
    };
    EXPECT_EQ(c.keptBySelectOldest, index(KeeperOf(members, SelectRule::SelectOldest)));
    EXPECT_EQ(c.keptBySelectNewest, index(KeeperOf(members, SelectRule::SelectNewest)));
}

INSTANTIATE_TEST_SUITE_P(
    Groups, KeeperTest,
    ::testing::Values(
        KeeperCase{"Empty", {}, -1, -1}, KeeperCase{"NewestFirst", {{3}, {2}, {1}}, 0, 2},
        KeeperCase{"TieAtTheExtremeKeepsFirstOfThem", {{1}, {9}, {4}, {9}, {1}}, 1, 0},
        KeeperCase{"FirstDeletedIsNeverKeeper", {{9, true}, {2}, {5}}, 2, 1},
        KeeperCase{"DeletedExtremesAreSkipped", {{0, true}, {5}, {99, true}, {3}}, 1, 3},
        KeeperCase{"AllDeleted", {{1, true}, {2, true}}, -1, -1},
        KeeperCase{"TimesBefore1970", {{-100}, {-5}, {0}}, 2, 0},
        KeeperCase{"ExtremeTimes", {{INT64_MIN}, {INT64_MAX}}, 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Protected members are never checked, and the keeper is one of them whenever a group has
// some, so that the unprotected copies can still all be checked.
TEST(ProtectedKeeperTest, TheKeeperIsAProtectedMemberWhereThereIsOne) {
    std::vector<CFileItem> items(4);
    const std::int64_t times[] = {5, 9, 1, 7};
    const char* paths[] = {"/free/a", "/free/b", "/safe/c", "/safe/d"};
    std::vector<const CFileItem*> members;
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i].modified = times[i];
        items[i].path = paths[i];
        members.push_back(&items[i]);
    }
    const ProtectedFolders safe({"/safe"});
    EXPECT_EQ(&items[3], KeeperOf(members, SelectRule::SelectOldest, safe));  // newest protected
    EXPECT_EQ(&items[2], KeeperOf(members, SelectRule::SelectNewest, safe));  // oldest protected
    EXPECT_EQ(&items[1], KeeperOf(members, SelectRule::SelectOldest));
    const CFileItem* keeper = KeeperOf(members, SelectRule::SelectOldest, safe);
    EXPECT_TRUE(RuleChecks(items[0], keeper, safe));
    EXPECT_TRUE(RuleChecks(items[1], keeper, safe));
    EXPECT_FALSE(RuleChecks(items[2], keeper, safe));  // protected, though not the keeper
    EXPECT_FALSE(RuleChecks(items[3], keeper, safe));

    items[2].deleted = items[3].deleted = 1;  // no protected copy left: the rule as without
    EXPECT_EQ(&items[1], KeeperOf(members, SelectRule::SelectOldest, safe));
}

}  // namespace
}  // namespace krelix
