#include "app/results/result_set.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace krelix {
namespace {

CFileItem Record(const std::string& key, const std::string& name) {
    CFileItem item;
    item.groupKey = key;
    item.path = "/" + name;
    return item;
}

std::vector<std::string> MemberNames(const ResultSet& set, const std::string& key) {
    std::vector<std::string> names;
    for (const CFileItem& member : set.MembersOf(key)) {
        names.emplace_back(member.name());
    }
    return names;
}

TEST(ResultSet, MembersKeepTheirOrderAndRecordsNeverMove) {
    ResultSet set;
    std::vector<CFileItem*> first;
    for (int i = 0; i < 5; ++i) {
        first.push_back(set.Add(Record("10AAAAAAAA", "m" + std::to_string(i))));
    }
    // Many more groups force the key table to grow; the records must stay where they were.
    for (int i = 0; i < 20000; ++i) {
        set.Add(Record(std::to_string(i) + "FFFFFFFF", "x"));
    }
    EXPECT_EQ(MemberNames(set, "10AAAAAAAA"),
              (std::vector<std::string>{"m0", "m1", "m2", "m3", "m4"}));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(first[static_cast<std::size_t>(i)]->name(), "m" + std::to_string(i));
    }
    EXPECT_EQ(set.size(), 20005u);
}

TEST(ResultSet, RemoveTakesTheOneRecordByIdentityAndKeysOutliveTheirMembers) {
    ResultSet set;
    CFileItem* a = set.Add(Record("5ABCDEF01", "same"));
    CFileItem* b = set.Add(Record("5ABCDEF01", "same"));  // equal content, other record
    CFileItem* c = set.Add(Record("7ABCDEF01", "other"));

    EXPECT_TRUE(set.Remove(b));
    EXPECT_FALSE(set.Remove(b)) << "already gone";
    ASSERT_EQ(set.MembersOf("5ABCDEF01").size(), 1u);
    EXPECT_EQ(&set.MembersOf("5ABCDEF01").front(), a);

    CFileItem stranger = Record("7ABCDEF01", "other");
    EXPECT_FALSE(set.Remove(&stranger)) << "a copy is not the record";
    EXPECT_FALSE(set.Remove(nullptr));

    EXPECT_TRUE(set.Remove(a));
    EXPECT_TRUE(set.Remove(c));
    EXPECT_TRUE(set.empty());
    std::vector<std::string> keys = set.GroupKeys();
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<std::string>{"5ABCDEF01", "7ABCDEF01"}));
    EXPECT_TRUE(set.MembersOf("5ABCDEF01").empty());
    EXPECT_TRUE(set.MembersOf("unknown").empty());

    set.Clear();
    EXPECT_TRUE(set.GroupKeys().empty());
}

TEST(ResultSet, RoomOfRemovedRecordsIsTakenAgainWithoutDisturbingTheRest) {
    // Enough records for several blocks; removing every third and adding as many again must
    // leave the survivors where they were, in their order, beside the newcomers.
    ResultSet set;
    std::vector<CFileItem*> records;
    for (int i = 0; i < 5000; ++i) {
        records.push_back(set.Add(Record(std::to_string(i % 3) + "KEY", "r" + std::to_string(i))));
    }
    for (std::size_t i = 0; i < records.size(); i += 3) {
        ASSERT_TRUE(set.Remove(records[i]));
    }
    std::vector<std::string> expected;
    for (std::size_t i = 1; i < records.size(); i += 3) {
        expected.push_back("r" + std::to_string(i));
    }
    for (int i = 0; i < 2000; ++i) {
        set.Add(Record("1KEY", "n" + std::to_string(i)));
        expected.push_back("n" + std::to_string(i));
    }
    EXPECT_EQ(MemberNames(set, "1KEY"), expected);
    EXPECT_EQ(records[4999]->name(), "r4999");
    EXPECT_EQ(set.MembersOf("0KEY").size(), 0u) << "every member of group 0 was removed";
    EXPECT_EQ(set.size(), 5000u - 1667u + 2000u);

    std::size_t visited = 0;
    set.ForEachRecord([&](CFileItem&) { ++visited; });
    EXPECT_EQ(visited, set.size());
    set.Clear();
    EXPECT_TRUE(set.empty());
    EXPECT_EQ(set.Add(Record("1KEY", "again"))->name(), "again");
}

TEST(ResultSet, AGroupedRunJoinsTheGroupsItsKeysAlreadyHaveInItsOwnOrder) {
    ResultSet set;
    CFileItem* earlier = set.Add(Record("5ABCDEF01", "earlier"));
    std::vector<CFileItem> run;
    for (const auto& [key, name] :
         std::vector<std::pair<std::string, std::string>>{{"5ABCDEF01", "a1"},
                                                          {"5ABCDEF01", "a2"},
                                                          {"9FFFFFFFF", "b1"},
                                                          {"9FFFFFFFF", "b2"},
                                                          {"5ABCDEF01", "a3"}}) {
        run.push_back(Record(key, name));
    }
    std::vector<CFileItem*> placed{earlier};
    set.AddGrouped(std::move(run), placed);
    EXPECT_TRUE(run.empty());
    ASSERT_EQ(placed.size(), 6u);
    std::vector<std::string> names;
    for (const CFileItem* record : placed) {
        names.emplace_back(record->name());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"earlier", "a1", "a2", "b1", "b2", "a3"}));
    EXPECT_EQ(MemberNames(set, "5ABCDEF01"),
              (std::vector<std::string>{"earlier", "a1", "a2", "a3"}));
    EXPECT_EQ(MemberNames(set, "9FFFFFFFF"), (std::vector<std::string>{"b1", "b2"}));
    EXPECT_EQ(set.size(), 6u);
}

TEST(ResultSet, RecordsAddedAfterAGroupedRunLeaveItsRecordsWhereTheyAre) {
    // The run's table has spare room: records added later may use it, but must never make it
    // grow, which would move every record the list points at.
    ResultSet set;
    std::vector<CFileItem> run;
    run.reserve(64);
    for (int i = 0; i < 10; ++i) {
        run.push_back(Record("3AAAAAAAA", "g" + std::to_string(i)));
    }
    std::vector<CFileItem*> placed;
    set.AddGrouped(std::move(run), placed);
    for (int i = 0; i < 3000; ++i) {
        set.Add(Record(std::to_string(i % 7) + "KEY", "later" + std::to_string(i)));
    }
    set.Add(Record("3AAAAAAAA", "g10"));
    for (std::size_t i = 0; i < placed.size(); ++i) {
        EXPECT_EQ(placed[i]->name(), "g" + std::to_string(i));
    }
    EXPECT_EQ(MemberNames(set, "3AAAAAAAA").size(), 11u);
    EXPECT_EQ(MemberNames(set, "3AAAAAAAA").back(), "g10");
    EXPECT_EQ(set.size(), 3011u);
}

TEST(ResultSet, RemoveAllTakesTheNamedRecordsAndPassesOverTheRest) {
    ResultSet set;
    std::vector<CFileItem> run;
    for (int i = 0; i < 6; ++i) {
        run.push_back(Record(i < 3 ? "1RUN" : "2RUN", "run" + std::to_string(i)));
    }
    std::vector<CFileItem*> records;
    set.AddGrouped(std::move(run), records);
    std::vector<CFileItem*> ones;  // several chunks of records added one by one
    for (int i = 0; i < 3000; ++i) {
        ones.push_back(set.Add(Record(std::to_string(i % 5) + "ONE", "one" + std::to_string(i))));
    }
    ASSERT_TRUE(set.Remove(ones[1]));  // its room is free now: naming it changes nothing

    CFileItem stranger = Record("1RUN", "run0");
    std::vector<const CFileItem*> doomed{records[0], records[2], &stranger,
                                         records[5], ones[1],    records[2]};
    for (std::size_t i = 0; i < ones.size(); i += 2) {
        doomed.push_back(ones[i]);
    }
    EXPECT_EQ(set.RemoveAll(doomed), 3u + 1500u);
    EXPECT_EQ(MemberNames(set, "1RUN"), (std::vector<std::string>{"run1"}));
    EXPECT_EQ(MemberNames(set, "2RUN"), (std::vector<std::string>{"run3", "run4"}));
    std::vector<std::string> left;
    for (int key = 0; key < 5; ++key) {
        for (const std::string& name : MemberNames(set, std::to_string(key) + "ONE")) {
            left.push_back(name);
        }
    }
    EXPECT_EQ(left.size(), 1499u);
    for (const std::string& name : left) {
        EXPECT_EQ(std::stoi(name.substr(3)) % 2, 1) << name;
    }
    EXPECT_EQ(set.size(), 3u + 1499u);

    // The group's last member went: a newcomer joins after the member now last.
    set.Add(Record("2RUN", "run6"));
    EXPECT_EQ(MemberNames(set, "2RUN"), (std::vector<std::string>{"run3", "run4", "run6"}));
    EXPECT_EQ(set.RemoveAll(std::vector<const CFileItem*>{&stranger}), 0u);
    EXPECT_EQ(set.RemoveAll({}), 0u);
}

}  // namespace
}  // namespace krelix
