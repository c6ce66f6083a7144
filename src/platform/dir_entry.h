#pragma once

#include <cstdint>
#include <string>

#include "platform/file_identity.h"

namespace krelix {

// Attribute bits of an entry. Only hidden (the name begins with ".") and compressed (the file
// system says so) occur on Linux; system and temporary keep their bits but are never set.
inline constexpr std::uint32_t ATTRIBUTE_HIDDEN = 0x2;
inline constexpr std::uint32_t ATTRIBUTE_SYSTEM = 0x4;
inline constexpr std::uint32_t ATTRIBUTE_TEMPORARY = 0x100;
inline constexpr std::uint32_t ATTRIBUTE_COMPRESSED = 0x800;

enum class EntryKind : std::uint8_t {
    Regular,  // the only kind the walk records
    Folder,
    Symlink,  // never followed
    Other,    // FIFO, socket, device: never recorded, never opened
    // Its status could not be read, though it did not vanish; only name, fullPath and the hidden
    // bit are set. The folder's listing says whether it is a folder.
    UnreadableFile,
    UnreadableFolder,
};

// One entry of a folder as the enumeration reports it, without following links.
struct DirEntry {
    EntryKind kind = EntryKind::Other;
    std::string name;      // the file system's bytes
    std::string fullPath;  // the enumerated folder's text as passed in, followed by name
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    std::int64_t created = 0;  // birth time where reported, else status-change time
    std::int64_t modified = 0;
    std::int64_t accessed = 0;
    FileIdentity identity;
    std::uint32_t links = 1;  // hard links to the entry's inode
    bool mountRoot = false;   // something is mounted here (a bind-mounted file, say)

    bool IsFolder() const { return kind == EntryKind::Folder; }
    bool Has(std::uint32_t attribute) const { return (attributes & attribute) != 0; }
};

}  // namespace krelix
