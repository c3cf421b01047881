#include "settings/NumberText.h"

#include <gtest/gtest.h>

namespace quenlow {
namespace {

TEST(NumberText, ParsesLikeTheWindowsLibraryInBaseZero) {
  const struct {
    const char* text;
    std::uint32_t value;
  } cases[] = {
      // clang-format off
      {"16", 16},          {" 16", 16},           {"\t16", 16},         {"+16", 16},
      {"-1", 4294967295u}, {"-16", 4294967280u},  {"010", 8},           {"08", 0},
      {"0x10", 16},        {"0X1f", 31},          {"0x", 0},            {"", 0},
      {"abc", 0},          {"12abc", 12},         {"4294967295", 4294967295u},
      {"4294967296", 4294967295u},                {"99999999999999999999", 4294967295u},
      {"-4294967296", 4294967295u},               {"0xFFFFFFFF", 4294967295u},
      {"0x100000000", 4294967295u},
      // clang-format on
  };
  for (const auto& c : cases) EXPECT_EQ(ParseUnsigned32(c.text), c.value) << '"' << c.text << '"';
}

TEST(NumberText, FormatsPlainDecimal) {
  EXPECT_EQ(FormatUnsigned32(0), "0");
  EXPECT_EQ(FormatUnsigned32(16), "16");
  EXPECT_EQ(FormatUnsigned32(4294967295u), "4294967295");
}

}  // namespace
}  // namespace quenlow
