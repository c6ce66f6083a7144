#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "operations/text/text_encoding.h"

namespace krelix {

// Base of the writers: turns UTF-16 text into the bytes of one encoding and collects them in
// a buffer that goes to the file in one write() when full, at Flush and when the file closes.
// The base class itself encodes nothing (its text operations fail). Every operation returns
// kTextOk or kTextError. Not thread-safe; one writer per open file.
class TextFileWriter {
  public:
    // fileName and fd belong to the TextFile and must outlive the writer. A capacity of 0
    // means kDefaultCapacity.
    TextFileWriter(std::uint32_t capacity, std::string_view fileName, int fd);
    virtual ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    static constexpr std::uint32_t kDefaultCapacity = 4096;

    virtual int WriteUnit(char16_t unit);
    // codePage, defaultChar and usedDefault only matter to the ANSI writer; usedDefault may
    // be null.
    virtual int WriteRun(const char16_t* text, std::size_t count, std::uint32_t codePage,
                         const char* defaultChar, bool* usedDefault);
    virtual int WriteMark();

    // Writes what the buffer holds now.
    int Flush();

    std::uint32_t capacity() const { return capacity_; }
    std::size_t used() const { return used_; }
    std::string_view fileName() const { return fileName_; }

  protected:
    // Appends bytes, writing out full buffers as it goes. When the file refuses a write the
    // bytes it did not take stay in the buffer and kTextError comes back.
    int WriteBytes(const void* data, std::size_t count);

  private:
    int WriteBuffer();

    std::string_view fileName_;
    int fd_;
    std::uint32_t capacity_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
};

}  // namespace krelix
