#include "app/results/result_set.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>

namespace krelix {

ResultSet::Place ResultSet::NewPlace(CFileItem&& record) {
    if (free_.chunk != kNowhere) {
        const Place place = free_;
        free_ = NextOf(place);
        RecordAt(place) = std::move(record);
        NextOf(place) = Place{};
        return place;
    }
    if (chunks_.empty() || chunks_.back().records.size() == chunks_.back().records.capacity()) {
        Chunk& chunk = chunks_.emplace_back();
        chunk.records.reserve(kChunkRecords);
        chunk.next.reserve(kChunkRecords);
    }
    Chunk& chunk = chunks_.back();
    chunk.records.push_back(std::move(record));
    chunk.next.emplace_back();
    return Place{static_cast<std::uint32_t>(chunks_.size() - 1),
                 static_cast<std::uint32_t>(chunk.records.size() - 1)};
}

void ResultSet::Append(Group& group, Place place) {
    (group.last.chunk != kNowhere ? NextOf(group.last) : group.first) = place;
    group.last = place;
    ++size_;
}

void ResultSet::Unlink(Group& group, Place before, Place place) {
    (before.chunk != kNowhere ? NextOf(before) : group.first) = NextOf(place);
    if (group.last == place) {
        group.last = before;
    }
}

void ResultSet::Release(Place place) {
    // Destroyed rather than assigned an empty record, so that the path's heap room goes too.
    CFileItem& record = RecordAt(place);
    std::destroy_at(&record);
    std::construct_at(&record);
    NextOf(place) = free_;
    free_ = place;
    --size_;
}

std::uint32_t ResultSet::GroupNumber(const std::string& groupKey) {
    const auto [entry, added] =
        groupNumbers_.try_emplace(groupKey, static_cast<std::uint32_t>(groups_.size()));
    if (added) {
        groups_.emplace_back();
    }
    return entry->second;
}

const ResultSet::Group* ResultSet::FindGroup(const std::string& groupKey) const {
    const auto found = groupNumbers_.find(groupKey);
    return found == groupNumbers_.end() ? nullptr : &groups_[found->second];
}

CFileItem* ResultSet::Add(CFileItem record) {
    const std::uint32_t group = GroupNumber(record.groupKey);
    const Place place = NewPlace(std::move(record));
    Append(groups_[group], place);
    return &RecordAt(place);
}

void ResultSet::AddGrouped(std::vector<CFileItem>&& records, std::vector<CFileItem*>& placed) {
    if (records.empty()) {
        return;
    }
    const auto chunkNo = static_cast<std::uint32_t>(chunks_.size());
    Chunk& chunk = chunks_.emplace_back();
    chunk.records = std::move(records);
    records.clear();
    const std::vector<CFileItem>& taken = chunk.records;
    chunk.next.assign(taken.size(), Place{});

    std::size_t groups = 0;
    for (std::size_t i = 0; i < taken.size(); ++i) {
        groups += i == 0 || taken[i].groupKey != taken[i - 1].groupKey;
    }
    groupNumbers_.reserve(groupNumbers_.size() + groups);
    groups_.reserve(groups_.size() + groups);
    placed.reserve(placed.size() + taken.size());
    std::uint32_t group = 0;
    for (std::size_t i = 0; i < taken.size(); ++i) {
        if (i == 0 || taken[i].groupKey != taken[i - 1].groupKey) {
            group = GroupNumber(taken[i].groupKey);
        }
        Append(groups_[group], Place{chunkNo, static_cast<std::uint32_t>(i)});
        placed.push_back(&chunk.records[i]);
    }
}

bool ResultSet::Remove(const CFileItem* record) {
    if (record == nullptr) {
        return false;
    }
    const auto found = groupNumbers_.find(record->groupKey);
    if (found == groupNumbers_.end()) {
        return false;
    }
    Group& group = groups_[found->second];
    for (Place before, place = group.first; place.chunk != kNowhere;
         before = place, place = NextOf(place)) {
        if (&RecordAt(place) != record) {
            continue;
        }
        Unlink(group, before, place);
        Release(place);
        return true;
    }
    return false;
}

namespace {

enum Mark : std::uint8_t { kKept, kNamed, kUnlinked };

}  // namespace

// Each record's place from its address: chunks ordered by where their records lie. A chunk none
// of whose records is named has no marks.
std::vector<std::vector<std::uint8_t>> ResultSet::NamedPlaces(
    std::span<const CFileItem* const> records) const {
    struct Span {
        const CFileItem* begin;
        const CFileItem* end;
        std::uint32_t chunk;
    };
    const std::less<const CFileItem*> before;
    std::vector<Span> spans;
    spans.reserve(chunks_.size());
    for (std::size_t c = 0; c < chunks_.size(); ++c) {
        const std::vector<CFileItem>& held = chunks_[c].records;
        spans.push_back({held.data(), held.data() + held.size(), static_cast<std::uint32_t>(c)});
    }
    std::sort(spans.begin(), spans.end(),
              [&](const Span& a, const Span& b) { return before(a.begin, b.begin); });
    std::vector<std::vector<std::uint8_t>> marks(chunks_.size());
    for (const CFileItem* record : records) {
        auto span = std::upper_bound(
            spans.begin(), spans.end(), record,
            [&](const CFileItem* address, const Span& s) { return before(address, s.begin); });
        if (span == spans.begin() || !before(record, (--span)->end)) {
            continue;
        }
        std::vector<std::uint8_t>& chunkMarks = marks[span->chunk];
        if (chunkMarks.empty()) {
            chunkMarks.resize(chunks_[span->chunk].records.size(), kKept);
        }
        chunkMarks[static_cast<std::size_t>(record - span->begin)] = kNamed;
    }
    return marks;
}

std::size_t ResultSet::RemoveAll(std::span<const CFileItem* const> records) {
    std::vector<std::vector<std::uint8_t>> marks = NamedPlaces(records);
    if (std::all_of(marks.begin(), marks.end(), [](const auto& m) { return m.empty(); })) {
        return 0;
    }
    // Named places that are free belong to no group, so they are never unlinked.
    for (Group& group : groups_) {
        Place kept;
        for (Place place = group.first; place.chunk != kNowhere;) {
            const Place next = NextOf(place);
            std::vector<std::uint8_t>& chunkMarks = marks[place.chunk];
            if (!chunkMarks.empty() && chunkMarks[place.index] == kNamed) {
                chunkMarks[place.index] = kUnlinked;
                Unlink(group, kept, place);
            } else {
                kept = place;
            }
            place = next;
        }
    }
    // Destroyed in the order they lie in memory, not the groups' order: freeing many small
    // paths at random addresses costs several times as much.
    std::size_t removed = 0;
    for (std::uint32_t chunk = 0; chunk < marks.size(); ++chunk) {
        for (std::uint32_t index = 0; index < marks[chunk].size(); ++index) {
            if (marks[chunk][index] == kUnlinked) {
                Release(Place{chunk, index});
                ++removed;
            }
        }
    }
    return removed;
}

void ResultSet::Clear() {
    groupNumbers_.clear();
    groups_.clear();
    chunks_.clear();
    free_ = Place{};
    size_ = 0;
}

ResultSet::ConstMembers ResultSet::MembersOf(const std::string& groupKey) const {
    const Group* group = FindGroup(groupKey);
    return ConstMembers(this, group == nullptr ? Place{} : group->first);
}

ResultSet::Members ResultSet::MembersOf(const std::string& groupKey) {
    const Group* group = FindGroup(groupKey);
    return Members(this, group == nullptr ? Place{} : group->first);
}

std::vector<std::string> ResultSet::GroupKeys() const {
    std::vector<std::string> keys;
    keys.reserve(groups_.size());
    for (const auto& entry : groupNumbers_) {
        keys.push_back(entry.first);
    }
    return keys;
}

}  // namespace krelix
