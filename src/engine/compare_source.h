#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/file_item.h"
#include "engine/walked_files.h"

namespace krelix {

// The files a comparison looks at, the files of one size next to each other. A record
// (CFileItem, four strings) is asked for only for a file hashed whole, so a walk's many files
// that never get that far cost no more than the walk's lean table.
class CompareSource {
  public:
    virtual ~CompareSource() = default;
    virtual std::size_t Count() const = 0;
    virtual std::uint64_t Size(std::size_t i) const = 0;
    virtual const FileIdentity& Identity(std::size_t i) const = 0;
    virtual std::string Path(std::size_t i) const = 0;
    // Once per file at most, at the end.
    virtual CFileItem TakeItem(std::size_t i) = 0;
    // The files before end will not be asked for again: the source may give back their room.
    virtual void ReleaseBefore(std::size_t /*end*/) {}
    // Keeps only the files at the places named, ascending: file k is then the one that was at
    // places[k].
    virtual void KeepOnly(const std::vector<std::uint32_t>& places) = 0;
};

// The files of a walk's lean table, in its order.
class WalkedSource final : public CompareSource {
  public:
    explicit WalkedSource(WalkedFiles& walked) : walked_(walked) {}
    std::size_t Count() const override { return released_ + walked_.size(); }
    std::uint64_t Size(std::size_t i) const override { return File(i).size; }
    const FileIdentity& Identity(std::size_t i) const override { return File(i).identity; }
    std::string Path(std::size_t i) const override { return walked_.PathOf(File(i)); }
    CFileItem TakeItem(std::size_t i) override { return walked_.ItemOf(File(i)); }
    void KeepOnly(const std::vector<std::uint32_t>& places) override { walked_.KeepOnly(places); }
    void ReleaseBefore(std::size_t end) override {
        if (end > released_) {
            walked_.DropFront(end - released_);
            released_ = end;
        }
    }

  private:
    const WalkedFiles::File& File(std::size_t i) const { return walked_.files()[i - released_]; }
    WalkedFiles& walked_;
    std::size_t released_ = 0;  // files dropped from the table's front; indices stay as they were
};

}  // namespace krelix
