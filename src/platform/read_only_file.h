#pragma once

#include <sys/types.h>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_identity.h"

namespace krelix {

// A regular file opened for sequential reading. Opening never blocks and never follows a final
// symbolic link: a FIFO, device, socket or link in place of the expected file is refused, so a
// path swapped after the walk cannot stall or redirect the reader.
class ReadOnlyFile {
  public:
    // Empty when the path cannot be opened or is not a regular file.
    static std::optional<ReadOnlyFile> Open(const std::string& path);
    // As above; when empty, error is the failed call's errno, or 0 for a file of another kind.
    static std::optional<ReadOnlyFile> Open(const std::string& path, int& error);
    // Opens without asking the file's kind, for a caller that checks the descriptor afterwards
    // (IsSameVersion) before it trusts what it read: one system call less per file. Opening
    // still never blocks, and what a FIFO or folder gives to a read is never a file's content.
    static std::optional<ReadOnlyFile> OpenUnchecked(const std::string& path, int& error);

    ReadOnlyFile(ReadOnlyFile&& other) noexcept;
    ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    ~ReadOnlyFile();

    // Bytes read (0 at the end), or -1 on a read error; interrupted reads are retried.
    ssize_t Read(void* buffer, std::size_t size);
    // As Read, from the given offset.
    ssize_t ReadAt(void* buffer, std::size_t size, std::uint64_t offset);

    // The open file is still the one of the given size and identity, unchanged (asked of the
    // descriptor, so a path swapped meanwhile does not answer for it).
    bool IsSameVersion(std::uint64_t size, const FileIdentity& identity) const;

    // Hints, which a file system may ignore: the bytes will be read soon (the kernel starts
    // reading them without waiting), or the file will be read from front to back.
    void AdviseWillNeed(std::uint64_t offset, std::uint64_t length);
    void AdviseSequential();
    // True when the byte at offset is in the page cache (a read would not wait for the disk).
    bool IsCached(std::uint64_t offset);

  private:
    explicit ReadOnlyFile(int fd) : fd_(fd) {}
    int fd_ = -1;
};

}  // namespace krelix
