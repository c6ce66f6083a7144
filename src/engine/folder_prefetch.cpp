#include "engine/folder_prefetch.h"

#include <utility>

namespace krelix {

struct FolderPrefetch::Slot {
    enum class State { Queued, Reading, Done };
    std::mutex mutex;
    std::condition_variable done;
    State state = State::Queued;
    FolderListing listing;
};

FolderListing ReadListing(const std::string& folder, FolderReader::Links links,
                          const std::atomic<std::int32_t>& stopFlag) {
    FolderListing listing;
    FolderReader reader;
    if (!reader.Open(folder, links)) {
        listing.error = reader.error();
        return listing;
    }
    listing.opened = true;
    listing.device = reader.device();
    listing.inode = reader.inode();
    DirEntry entry;
    while (stopFlag.load(std::memory_order_relaxed) == 0 && reader.Next(entry)) {
        listing.entries.push_back(entry);
    }
    listing.error = reader.error();
    return listing;
}

FolderPrefetch::FolderPrefetch(TaskRunner& runner, const std::atomic<std::int32_t>& stopFlag)
    : runner_(runner), stopFlag_(stopFlag) {}

FolderPrefetch::~FolderPrefetch() {
    for (auto& [folder, slot] : slots_) {
        std::unique_lock<std::mutex> lock(slot->mutex);
        if (slot->state == Slot::State::Queued) {
            slot->state = Slot::State::Done;  // its task will find nothing to do
        }
        slot->done.wait(lock, [&] { return slot->state == Slot::State::Done; });
    }
}

void FolderPrefetch::Ahead(const std::string& folder) {
    auto [place, added] = slots_.try_emplace(folder);
    if (!added) {
        return;
    }
    place->second = std::make_shared<Slot>();
    runner_.Schedule([slot = place->second, folder, &stopFlag = stopFlag_] {
        {
            std::lock_guard<std::mutex> lock(slot->mutex);
            if (slot->state != Slot::State::Queued) {
                return;  // the walk read it itself, or is gone
            }
            slot->state = Slot::State::Reading;
        }
        FolderListing listing = ReadListing(folder, FolderReader::Links::DoNotFollow, stopFlag);
        std::lock_guard<std::mutex> lock(slot->mutex);
        slot->listing = std::move(listing);
        slot->state = Slot::State::Done;
        slot->done.notify_all();
    });
}

FolderListing FolderPrefetch::Take(const std::string& folder, FolderReader::Links links) {
    const auto found = slots_.find(folder);
    if (found == slots_.end() || links != FolderReader::Links::DoNotFollow) {
        return ReadListing(folder, links, stopFlag_);
    }
    const std::shared_ptr<Slot> slot = found->second;
    slots_.erase(found);
    std::unique_lock<std::mutex> lock(slot->mutex);
    if (slot->state == Slot::State::Queued) {
        slot->state = Slot::State::Done;
        lock.unlock();
        return ReadListing(folder, links, stopFlag_);
    }
    slot->done.wait(lock, [&] { return slot->state == Slot::State::Done; });
    return std::move(slot->listing);
}

}  // namespace krelix
