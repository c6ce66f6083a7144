#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <boost/container/deque.hpp>
#include <boost/container/options.hpp>

#include "engine/file_item.h"
#include "platform/dir_entry.h"

namespace krelix {

// The files one walk recorded, kept lean until the comparison: most of them never share a size,
// so each holds its numbers, its folder as an index and its name in one shared buffer, and
// becomes a CFileItem (four strings) only when it can still be a duplicate.
class WalkedFiles {
  public:
    struct File {
        std::uint64_t size = 0;
        FileIdentity identity;
        std::int64_t created = 0;
        std::int64_t accessed = 0;
        std::uint32_t folder = 0;
        std::uint32_t nameLength = 0;
        std::uint64_t nameOffset = 0;
    };

    // Grown block by block, never copied whole: a vector's doubling would hold the table twice
    // over at the walk's largest moment.
    using Table = boost::container::deque<
        File, void, boost::container::deque_options_t<boost::container::block_size<4096>>>;

    void Clear();
    // The folder (with its trailing "/") whose entries are recorded next; answers its index.
    std::uint32_t AddFolder(const std::string& folder);
    void Add(const DirEntry& entry, std::uint32_t folder);
    // Keeps only the files at the places named (each once), in that order, and gives back the
    // room of the others where most of it is free.
    void KeepOnly(const std::vector<std::uint32_t>& places);

    // Gives back the room of the first count files (fewer when there are fewer); the files
    // after them move to the front.
    void DropFront(std::size_t count);

    std::size_t size() const { return files_.size(); }
    const Table& files() const { return files_; }
    std::string PathOf(const File& file) const;
    CFileItem ItemOf(const File& file) const;

  private:
    std::vector<std::string> folders_;
    std::string names_;
    Table files_;
};

}  // namespace krelix
