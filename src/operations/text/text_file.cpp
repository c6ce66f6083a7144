#include "operations/text/text_file.h"

#include <fcntl.h>
#include <unistd.h>

#include "operations/text/ansi_text_file_writer.h"
#include "operations/text/utf16be_text_file_writer.h"
#include "operations/text/utf16le_text_file_writer.h"
#include "operations/text/utf8_text_file_writer.h"

namespace krelix {
namespace {

constexpr std::uint32_t kDefaultFlags = 4;

}  // namespace

TextFile::~TextFile() {
    Close();
}

int TextFile::OpenForWriting(const std::string& path, TextEncoding encoding,
                             std::uint32_t bufferSize) {
    Close();
    // O_NONBLOCK keeps open() from waiting forever on a FIFO nobody reads; regular files
    // ignore it, and it is cleared again before writing.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        return kTextError;
    }
    const int status = ::fcntl(fd, F_GETFL);
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) < 0) {
        ::close(fd);
        return kTextError;
    }
    fileName_ = path;
    mode_ = Mode::Writing;
    encoding_ = encoding;
    flags_ = kDefaultFlags;
    bufferSize_ = bufferSize;
    fd_ = fd;
    bomPending_ = true;
    writer_ = MakeWriter(encoding_, bufferSize_, fileName_, fd_);
    return kTextOk;
}

std::unique_ptr<TextFileWriter> TextFile::MakeWriter(TextEncoding encoding,
                                                     std::uint32_t bufferSize,
                                                     std::string_view fileName, int fd) {
    switch (encoding) {
        case TextEncoding::Ansi:
            return std::make_unique<ANSI_TextFileWriter>(bufferSize, fileName, fd);
        case TextEncoding::Utf16LE:
            return std::make_unique<UTF16LE_TextFileWriter>(bufferSize, fileName, fd);
        case TextEncoding::Utf16BE:
            return std::make_unique<UTF16BE_TextFileWriter>(bufferSize, fileName, fd);
        case TextEncoding::Utf8:
            break;
    }
    return std::make_unique<UTF8_TextFileWriter>(bufferSize, fileName, fd);
}

int TextFile::Write(std::u16string_view text) {
    if (writer_ == nullptr) {
        return kTextError;
    }
    if (bomPending_) {
        if (const int result = writer_->WriteMark(); result < 0) {
            return result;
        }
        bomPending_ = false;
    }
    if (text.empty()) {
        return kTextOk;
    }
    if ((flags_ & kWriteUnchanged) != 0) {
        return WriteRun(text);
    }
    for (;;) {
        const std::size_t feed = text.find(u'\n');
        if (feed == std::u16string_view::npos) {
            return WriteRun(text);
        }
        if (const int result = WriteRun(text.substr(0, feed)); result < 0) {
            return result;
        }
        if (const int result = WriteRun(u"\r\n"); result < 0) {
            return result;
        }
        text.remove_prefix(feed + 1);
        if (text.empty()) {
            return kTextOk;
        }
    }
}

int TextFile::WriteRun(std::u16string_view run) {
    return writer_->WriteRun(run.data(), run.size(), 0, nullptr, nullptr);
}

int TextFile::Close() {
    if (fd_ < 0) {
        return kTextOk;
    }
    int result = kTextOk;
    if (mode_ != Mode::Reading && writer_ != nullptr) {
        result = writer_->Flush();
    }
    // A failing close() can be the first report of a write the file system deferred.
    if (::close(fd_) != 0 && result == kTextOk) {
        result = kTextError;
    }
    fd_ = -1;
    mode_ = Mode::Closed;
    writer_.reset();
    fileName_.clear();
    return result;
}

}  // namespace krelix
