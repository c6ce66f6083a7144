#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "operations/text/text_encoding.h"
#include "operations/text/text_file_writer.h"

namespace krelix {

// One text file open for writing: UTF-16 text in, the bytes of one encoding out, a
// byte-order mark ahead of the first text and, unless kWriteUnchanged is set, every line
// feed written as CR LF. A file that is opened but never written to stays empty. The object
// starts closed; destroying it closes the file. Operations return kTextOk or kTextError.
class TextFile {
  public:
    enum class Mode : std::int32_t { Closed = 0, Reading = 1, Writing = 2 };

    // Flag bit: write text as it is, without turning LF into CR LF.
    static constexpr std::uint32_t kWriteUnchanged = 0x100;

    TextFile() = default;
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Creates the file or truncates an existing one. Resets the flags to the default (line
    // feeds become CR LF). A FIFO without a reader fails instead of blocking. A bufferSize of
    // 0 gives the writer's default.
    int OpenForWriting(const std::string& path, TextEncoding encoding = TextEncoding::Utf8,
                       std::uint32_t bufferSize = 0);
    // Returns kTextOk or the first failure of the writer; the mark goes out with the first
    // call, even for an empty text.
    int Write(std::u16string_view text);
    // Writes the buffered rest and closes. kTextOk when nothing was open; kTextError when the
    // last bytes could not be written or the file system reports a failure on close.
    int Close();

    bool IsOpen() const { return fd_ >= 0; }
    Mode mode() const { return mode_; }
    TextEncoding encoding() const { return encoding_; }
    std::uint32_t flags() const { return flags_; }
    void SetFlags(std::uint32_t flags) { flags_ = flags; }

  private:
    int WriteRun(std::u16string_view run);
    static std::unique_ptr<TextFileWriter> MakeWriter(TextEncoding encoding,
                                                      std::uint32_t bufferSize,
                                                      std::string_view fileName, int fd);

    std::string fileName_;
    Mode mode_ = Mode::Closed;
    TextEncoding encoding_ = TextEncoding::Utf8;
    std::uint32_t flags_ = 0;
    std::uint32_t bufferSize_ = 0;
    int fd_ = -1;
    std::unique_ptr<TextFileWriter> writer_;  // refers to fileName_ and fd_
    bool bomPending_ = false;
};

}  // namespace krelix
