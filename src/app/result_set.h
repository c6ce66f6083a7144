#pragma once

#include <boost/unordered_map.hpp>
#include <cstddef>
#include <list>
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
  public:
    using Members = std::list<CFileItem>;

    ResultSet() = default;
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;

    // Takes the record and returns where it now lives.
    CFileItem* Add(CFileItem record);
    // Destroys the record the pointer names (found by its groupKey, then by identity). False,
    // and nothing changes, when the set does not hold it.
    bool Remove(const CFileItem* record);
    // Destroys every record and forgets every key.
    void Clear();
    void Reserve(std::size_t groups);

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // The group's members in the order they were added; empty for an unknown or emptied key.
    const Members& MembersOf(const std::string& groupKey) const;
    // The same, for a command that updates records in place (never adds or removes).
    Members& MembersOf(const std::string& groupKey);
    // Every key ever listed since the last Clear, in no particular order.
    std::vector<std::string> GroupKeys() const;
    std::size_t GroupCount() const { return groups_.size(); }

    template <typename F>
    void ForEachRecord(F&& f) {
        for (auto& [key, members] : groups_) {
            for (CFileItem& record : members) {
                f(record);
            }
        }
    }

  private:
    boost::unordered_map<std::string, Members> groups_;
    std::size_t size_ = 0;
    Members none_;
};

}  // namespace krelix
