#pragma once

#include "operations/text/text_file_writer.h"

namespace krelix {

// UTF-16, low byte first, with the mark FF FE. Units are written as they are, unpaired
// surrogates included.
class UTF16LE_TextFileWriter final : public TextFileWriter {
  public:
    using TextFileWriter::TextFileWriter;

    int WriteUnit(char16_t unit) override;
    int WriteRun(const char16_t* text, std::size_t count, std::uint32_t codePage,
                 const char* defaultChar, bool* usedDefault) override;
    int WriteMark() override;
};

}  // namespace krelix
