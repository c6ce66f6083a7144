#include "app/result_set.h"

#include <new>
#include <utility>

namespace krelix {

ResultSet::~ResultSet() {
    Clear();
}

void ResultSet::FreeBlock::operator()(Slot* block) const {
    ::operator delete (block, std::align_val_t{alignof(Slot)});
}

ResultSet::Slot* ResultSet::NewSlot(CFileItem&& record) {
    Slot* place = free_;
    if (place != nullptr) {
        free_ = place->next;
        place->~Slot();
    } else {
        if (usedInLastBlock_ == kBlockSlots) {
            // Raw room: slots come alive one by one as records arrive.
            blocks_.emplace_back(static_cast<Slot*>(
                ::operator new (kBlockSlots * sizeof(Slot), std::align_val_t{alignof(Slot)})));
            usedInLastBlock_ = 0;
        }
        place = blocks_.back().get() + usedInLastBlock_++;
    }
    return new (place) Slot{std::move(record), nullptr};
}

CFileItem* ResultSet::Append(Group& group, CFileItem&& record) {
    Slot* slot = NewSlot(std::move(record));
    (group.last != nullptr ? group.last->next : group.first) = slot;
    group.last = slot;
    ++size_;
    return &slot->record;
}

CFileItem* ResultSet::Add(CFileItem record) {
    return Append(groups_[record.groupKey], std::move(record));
}

void ResultSet::AddGrouped(std::vector<CFileItem>&& records, std::vector<CFileItem*>& placed) {
    std::size_t groups = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        groups += i == 0 || records[i].groupKey != records[i - 1].groupKey;
    }
    groups_.reserve(groups_.size() + groups);
    placed.reserve(placed.size() + records.size());
    Group* group = nullptr;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i == 0 || records[i].groupKey != records[i - 1].groupKey) {
            group = &groups_[records[i].groupKey];
        }
        placed.push_back(Append(*group, std::move(records[i])));
    }
    records.clear();
}

bool ResultSet::Remove(const CFileItem* record) {
    if (record == nullptr) {
        return false;
    }
    const auto found = groups_.find(record->groupKey);
    if (found == groups_.end()) {
        return false;
    }
    Group& group = found->second;
    for (Slot *before = nullptr, *slot = group.first; slot != nullptr;
         before = slot, slot = slot->next) {
        if (&slot->record != record) {
            continue;
        }
        (before != nullptr ? before->next : group.first) = slot->next;
        if (group.last == slot) {
            group.last = before;
        }
        slot->~Slot();
        // The freed room keeps only the link to the next free slot.
        free_ = new (slot) Slot{CFileItem{}, free_};
        --size_;
        return true;
    }
    return false;
}

void ResultSet::Clear() {
    for (auto& [key, group] : groups_) {
        for (Slot* slot = group.first; slot != nullptr;) {
            Slot* next = slot->next;
            slot->~Slot();
            slot = next;
        }
    }
    for (Slot* slot = free_; slot != nullptr;) {
        Slot* next = slot->next;
        slot->~Slot();
        slot = next;
    }
    free_ = nullptr;
    blocks_.clear();
    usedInLastBlock_ = kBlockSlots;
    groups_.clear();
    size_ = 0;
}

ResultSet::ConstMembers ResultSet::MembersOf(const std::string& groupKey) const {
    const auto group = groups_.find(groupKey);
    return ConstMembers(group == groups_.end() ? nullptr : group->second.first);
}

ResultSet::Members ResultSet::MembersOf(const std::string& groupKey) {
    const auto group = groups_.find(groupKey);
    return Members(group == groups_.end() ? nullptr : group->second.first);
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
