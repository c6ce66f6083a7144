#pragma once

#include <boost/unordered_map.hpp>
#include <cstddef>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "engine/file_item.h"

namespace krelix {

// The main window's copy of the last results: every listed record, grouped by group key, and
// the keys of every group that was listed. Records never move while they are held, so list
// rows point at them; a record lives until Remove or Clear destroys it. Members of a group keep
// the order in which they were added. Keys stay known after their last member is removed
// (an emptied group yields no members), until Clear. UI thread only.
class ResultSet {
    struct Slot;

  public:
    // A group's members in the order they were added.
    template <typename Record>
    class MemberRange {
      public:
        class iterator {
          public:
            using iterator_category = std::forward_iterator_tag;
            using value_type = CFileItem;
            using difference_type = std::ptrdiff_t;
            using pointer = Record*;
            using reference = Record&;

            iterator() = default;
            explicit iterator(Slot* slot) : slot_(slot) {}
            reference operator*() const;
            pointer operator->() const { return &**this; }
            iterator& operator++();
            iterator operator++(int) {
                iterator before = *this;
                ++*this;
                return before;
            }
            friend bool operator==(const iterator&, const iterator&) = default;

          private:
            Slot* slot_ = nullptr;
        };

        explicit MemberRange(Slot* first) : first_(first) {}
        iterator begin() const { return iterator(first_); }
        iterator end() const { return iterator(); }
        bool empty() const { return first_ == nullptr; }
        std::size_t size() const { return static_cast<std::size_t>(std::distance(begin(), end())); }
        Record& front() const { return *begin(); }

      private:
        Slot* first_;
    };
    using Members = MemberRange<CFileItem>;
    using ConstMembers = MemberRange<const CFileItem>;

    ResultSet() = default;
    ~ResultSet();
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;

    // Takes the record and returns where it now lives.
    CFileItem* Add(CFileItem record);
    // Takes a run's records, each group's members next to each other, and appends where each
    // now lives to placed, in their order. One table lookup a group rather than a record.
    void AddGrouped(std::vector<CFileItem>&& records, std::vector<CFileItem*>& placed);
    // Destroys the record the pointer names (found by its groupKey, then by identity). False,
    // and nothing changes, when the set does not hold it.
    bool Remove(const CFileItem* record);
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
        for (const auto& [key, group] : groups_) {
            f(ConstMembers(group.first));
        }
    }

    template <typename F>
    void ForEachRecord(F&& f) {
        for (auto& [key, group] : groups_) {
            for (CFileItem& record : Members(group.first)) {
                f(record);
            }
        }
    }

  private:
    // A record and the next member of its group (or, once freed, the next free slot). Records
    // lie in blocks of many, not one allocation each with a list node around it.
    struct Slot {
        CFileItem record;
        Slot* next = nullptr;
    };
    struct Group {
        Slot* first = nullptr;
        Slot* last = nullptr;
    };
    struct FreeBlock {
        void operator()(Slot* block) const;
    };
    static constexpr std::size_t kBlockSlots = 1024;

    Slot* NewSlot(CFileItem&& record);
    CFileItem* Append(Group& group, CFileItem&& record);

    boost::unordered_map<std::string, Group> groups_;
    std::vector<std::unique_ptr<Slot, FreeBlock>> blocks_;
    std::size_t usedInLastBlock_ = kBlockSlots;
    Slot* free_ = nullptr;  // slots whose record was destroyed, chained by next
    std::size_t size_ = 0;
};

template <typename Record>
Record& ResultSet::MemberRange<Record>::iterator::operator*() const {
    return slot_->record;
}

template <typename Record>
typename ResultSet::MemberRange<Record>::iterator&
ResultSet::MemberRange<Record>::iterator::operator++() {
    slot_ = slot_->next;
    return *this;
}

}  // namespace krelix
