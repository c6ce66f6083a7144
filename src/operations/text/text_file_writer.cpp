#include "operations/text/text_file_writer.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace krelix {

TextFileWriter::TextFileWriter(std::uint32_t capacity, std::string_view fileName, int fd)
    : fileName_(fileName),
      fd_(fd),
      capacity_(capacity == 0 ? kDefaultCapacity : capacity),
      buffer_(std::make_unique<char[]>(capacity_)) {}

TextFileWriter::~TextFileWriter() = default;

int TextFileWriter::WriteUnit(char16_t) {
    return kTextError;
}

int TextFileWriter::WriteRun(const char16_t*, std::size_t, std::uint32_t, const char*, bool*) {
    return kTextError;
}

int TextFileWriter::WriteMark() {
    return kTextOk;
}

int TextFileWriter::Flush() {
    return used_ == 0 ? kTextOk : WriteBuffer();
}

int TextFileWriter::WriteBytes(const void* data, std::size_t count) {
    const char* bytes = static_cast<const char*>(data);
    for (;;) {
        const std::size_t part = std::min(count, capacity_ - used_);
        std::memcpy(buffer_.get() + used_, bytes, part);
        used_ += part;
        bytes += part;
        count -= part;
        if (count == 0) {
            return kTextOk;
        }
        if (WriteBuffer() != kTextOk) {
            return kTextError;
        }
    }
}

// A short write is not success: the rest is written until the file takes it all or refuses,
// so a full disk is reported instead of cutting the file silently.
int TextFileWriter::WriteBuffer() {
    std::size_t done = 0;
    while (done < used_) {
        const ssize_t n = ::write(fd_, buffer_.get() + done, used_ - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            std::memmove(buffer_.get(), buffer_.get() + done, used_ - done);
            used_ -= done;
            return kTextError;
        }
        done += static_cast<std::size_t>(n);
    }
    used_ = 0;
    return kTextOk;
}

}  // namespace krelix
