#pragma once

#include "operations/text/scratch_buffer.h"
#include "operations/text/text_file_writer.h"

namespace krelix {

// UTF-16, high byte first, with the mark FE FF. Units are written as they are, unpaired
// surrogates included.
class UTF16BE_TextFileWriter final : public TextFileWriter {
  public:
    using TextFileWriter::TextFileWriter;

    int WriteUnit(char16_t unit) override;
    int WriteRun(const char16_t* text, std::size_t count, std::uint32_t codePage,
                 const char* defaultChar, bool* usedDefault) override;
    int WriteMark() override;

  private:
    ScratchBuffer scratch_;  // the swapped copy of a run
};

}  // namespace krelix
