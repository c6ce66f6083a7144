#include "app/window/info_options.h"

#include <gtest/gtest.h>

#include "common/version.h"

namespace krelix {
namespace {

TEST(InfoOptions, VersionAndHelpAnswerWithoutTheWindowAndOtherArgumentsStartIt) {
    EXPECT_EQ(std::string("krelix ") + kVersion + "\n", InfoOptionText({"--version"}));
    EXPECT_EQ(std::string("krelix ") + kVersion + "\n",
              InfoOptionText({"-platform", "offscreen", "--version"}));
    const auto help = InfoOptionText({"--help"});
    ASSERT_TRUE(help);
    EXPECT_EQ(0u, help->rfind("Usage: krelix", 0));
    EXPECT_EQ(help, InfoOptionText({"-h"}));

    EXPECT_EQ(std::nullopt, InfoOptionText({}));
    EXPECT_EQ(std::nullopt, InfoOptionText({"-platform", "offscreen"}));
    EXPECT_EQ(std::nullopt, InfoOptionText({"--", "--version"}));
}

}  // namespace
}  // namespace krelix
