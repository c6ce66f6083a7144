#pragma once

#include <boost/unordered_map.hpp>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "engine/file_item.h"

namespace krelix {

// The main window's copy of the last results: every listed record, grouped by group key, and
// the keys of every group that was listed. Records never move while they are held, so list
// rows point at them; a record lives until Remove or Clear destroys it. Members of a group keep
// the order in which they were added. Keys stay known after their last member is removed
// (an emptied group yields no members), until Clear. UI thread only.
class ResultSet {
    // Where a record lies: its chunk and its index there.
    struct Place {
        std::uint32_t chunk = kNowhere;
        std::uint32_t index = 0;
        friend bool operator==(const Place&, const Place&) = default;
    };
    static constexpr std::uint32_t kNowhere = UINT32_MAX;

  public:
    // A group's members in the order they were added.
    template <typename Record>
    class MemberRange {
        using Set = std::conditional_t<std::is_const_v<Record>, const ResultSet, ResultSet>;

      public:
        class iterator {
          public:
            using iterator_category = std::forward_iterator_tag;
            using value_type = CFileItem;
            using difference_type = std::ptrdiff_t;
            using pointer = Record*;
            using reference = Record&;

            iterator() = default;
            iterator(Set* set, Place place) : set_(set), place_(place) {}
            reference operator*() const { return set_->RecordAt(place_); }
            pointer operator->() const { return &**this; }
            iterator& operator++() {
                place_ = set_->NextOf(place_);
                return *this;
            }
            iterator operator++(int) {
                iterator before = *this;
                ++*this;
                return before;
            }
            friend bool operator==(const iterator& a, const iterator& b) {
                return a.place_ == b.place_;
            }

          private:
            Set* set_ = nullptr;
            Place place_;
        };

        MemberRange(Set* set, Place first) : set_(set), first_(first) {}
        iterator begin() const { return iterator(set_, first_); }
        iterator end() const { return iterator(set_, Place{}); }
        bool empty() const { return first_.chunk == kNowhere; }
        std::size_t size() const { return static_cast<std::size_t>(std::distance(begin(), end())); }
        Record& front() const { return *begin(); }

      private:
        Set* set_;
        Place first_;
    };
    using Members = MemberRange<CFileItem>;
    using ConstMembers = MemberRange<const CFileItem>;

    ResultSet() = default;
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;

    // Takes the record and returns where it now lives.
    CFileItem* Add(CFileItem record);
    // Takes a run's records, each group's members next to each other, and appends where each
    // now lives to placed, in their order. The records stay in the vector's own room: nothing
    // is copied, and a group costs one table lookup.
    void AddGrouped(std::vector<CFileItem>&& records, std::vector<CFileItem*>& placed);
    // Destroys the record the pointer names (found by its groupKey, then by identity). False,
    // and nothing changes, when the set does not hold it.
    bool Remove(const CFileItem* record);
    // Destroys every record named, in one pass over the groups; a pointer the set does not
    // hold is passed over. Returns how many were destroyed.
    std::size_t RemoveAll(std::span<const CFileItem* const> records);
    // Destroys every record and forgets every key.
    void Clear();

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // The group's members in the order they were added; empty for an unknown or emptied key.
    ConstMembers MembersOf(const std::string& groupKey) const;
    // The same, for a command that updates records in place (never adds or removes).
    Members MembersOf(const std::string& groupKey);
    // Every key ever listed since the last Clear, in no particular order.
    std::vector<std::string> GroupKeys() const;
    std::size_t GroupCount() const { return groups_.size(); }

    // Calls f with each group's members, groups in no particular order, emptied ones included.
    template <typename F>
    void ForEachGroup(F&& f) const {
        for (const Group& group : groups_) {
            f(ConstMembers(this, group.first));
        }
    }

    template <typename F>
    void ForEachRecord(F&& f) {
        for (const Group& group : groups_) {
            for (CFileItem& record : Members(this, group.first)) {
                f(record);
            }
        }
    }

  private:
    // Records lie in chunks: a run's whole table taken over as it is, or room for many records
    // added one by one. A chunk's table never grows past the room it was given, so its records
    // stay put. A removed record stays as an empty one on the free chain until taken again.
    struct Chunk {
        std::vector<CFileItem> records;
        std::vector<Place> next;  // each record's next member, or the next free place
    };
    struct Group {
        Place first;
        Place last;
    };
    static constexpr std::size_t kChunkRecords = 1024;

    CFileItem& RecordAt(Place place) { return chunks_[place.chunk].records[place.index]; }
    const CFileItem& RecordAt(Place place) const {
        return chunks_[place.chunk].records[place.index];
    }
    Place& NextOf(Place place) { return chunks_[place.chunk].next[place.index]; }
    Place NextOf(Place place) const { return chunks_[place.chunk].next[place.index]; }
    Place NewPlace(CFileItem&& record);
    void Append(Group& group, Place place);
    // Takes place, whose predecessor in the group is before (none: it is the first), out of
    // the group's chain.
    // Per chunk, which of its records are among `records` (empty for a chunk with none).
    std::vector<std::vector<std::uint8_t>> NamedPlaces(
        std::span<const CFileItem* const> records) const;
    void Unlink(Group& group, Place before, Place place);
    void Release(Place place);
    // The key's group, made when the key is new.
    std::uint32_t GroupNumber(const std::string& groupKey);
    const Group* FindGroup(const std::string& groupKey) const;

    // Groups lie in the order they were first listed, so that a walk over all of them reads
    // memory in order rather than in the key table's.
    boost::unordered_map<std::string, std::uint32_t> groupNumbers_;
    std::vector<Group> groups_;
    std::vector<Chunk> chunks_;
    Place free_;  // places whose record was removed, chained by next
    std::size_t size_ = 0;
};

}  // namespace krelix
