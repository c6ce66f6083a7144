#pragma once

#include "operations/text/text_file_writer.h"

namespace krelix {

// UTF-8 with the mark EF BB BF. Surrogate pairs become one 4-byte sequence; a surrogate
// without its partner becomes U+FFFD, so the output is always valid UTF-8.
class UTF8_TextFileWriter final : public TextFileWriter {
  public:
    using TextFileWriter::TextFileWriter;

    int WriteUnit(char16_t unit) override;
    int WriteRun(const char16_t* text, std::size_t count, std::uint32_t codePage,
                 const char* defaultChar, bool* usedDefault) override;
    int WriteMark() override;
};

}  // namespace krelix
