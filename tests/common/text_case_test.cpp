#include "common/text_case.h"

#include <gtest/gtest.h>

namespace krelix {
namespace {

TEST(TextCase, LowersUnicodeLettersAndKeepsForeignBytes) {
    const struct {
        const char* label;
        std::string in;
        std::string out;
    } cases[] = {
        {"ascii pattern", "*.JPEG", "*.jpeg"},
        {"latin", "\xC3\x84RGER.TXT", "\xC3\xA4rger.txt"},            // ÄRGER
        {"greek", "\xCE\xA3\xCE\x9F", "\xCF\x83\xCE\xBF"},            // ΣΟ
        {"cyrillic", "\xD0\xAF", "\xD1\x8F"},                         // Я
        {"outside the BMP", "\xF0\x90\x90\x80", "\xF0\x90\x90\xA8"},  // Deseret
        {"latin-1 bytes kept", "CAF\xC9.TXT", "caf\xC9.txt"},
        {"digits and marks", "*.3G2;?", "*.3g2;?"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.out, LowerCaseUtf8(c.in)) << c.label;
    }
}

}  // namespace
}  // namespace krelix
