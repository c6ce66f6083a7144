#include "app/result_set.h"

namespace krelix {

CFileItem* ResultSet::Add(CFileItem record) {
    Members& members = groups_[record.groupKey];
    members.push_back(std::move(record));
    ++size_;
    return &members.back();
}

bool ResultSet::Remove(const CFileItem* record) {
    if (record == nullptr) {
        return false;
    }
    const auto group = groups_.find(record->groupKey);
    if (group == groups_.end()) {
        return false;
    }
    Members& members = group->second;
    for (auto it = members.begin(); it != members.end(); ++it) {
        if (&*it == record) {
            members.erase(it);
            --size_;
            return true;
        }
    }
    return false;
}

void ResultSet::Clear() {
    groups_.clear();
    size_ = 0;
}

void ResultSet::Reserve(std::size_t groups) {
    groups_.reserve(groups);
}

const ResultSet::Members& ResultSet::MembersOf(const std::string& groupKey) const {
    const auto group = groups_.find(groupKey);
    return group == groups_.end() ? none_ : group->second;
}

ResultSet::Members& ResultSet::MembersOf(const std::string& groupKey) {
    const auto group = groups_.find(groupKey);
    return group == groups_.end() ? none_ : group->second;
}

std::vector<std::string> ResultSet::GroupKeys() const {
    std::vector<std::string> keys;
    keys.reserve(groups_.size());
    for (const auto& entry : groups_) {
        keys.push_back(entry.first);
    }
    return keys;
}

}  // namespace krelix
