#pragma once

#include "operations/text/scratch_buffer.h"
#include "operations/text/text_file_writer.h"

namespace krelix {

// "ANSI" text without a mark. Linux has no ANSI code page, so this writer writes Latin-1
// (ISO 8859-1, whatever the code page asked for): U+0000 to U+00FF as one byte each, every
// other character, a surrogate pair counting as one, as the first byte of the default
// character ("?" when none is given), and *usedDefault then reports it.
class ANSI_TextFileWriter final : public TextFileWriter {
  public:
    using TextFileWriter::TextFileWriter;

    int WriteUnit(char16_t unit) override;
    int WriteRun(const char16_t* text, std::size_t count, std::uint32_t codePage,
                 const char* defaultChar, bool* usedDefault) override;

  private:
    ScratchBuffer scratch_;  // the converted run
};

}  // namespace krelix
