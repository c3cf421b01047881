#include "platform/TextConvert.h"

#include <gtest/gtest.h>

namespace quenlow {
namespace {

struct ConversionCase {
  const wchar_t* name;
  std::wstring wide;
  std::string utf8;
};

// Wide text is written as UTF-16 code units; on Linux the converter still has to join the
// surrogate pairs, since tests and callers may hand it UTF-16 sequences.
const ConversionCase kConversions[] = {
    {L"1-byte ASCII", L"C:\\Program Files", "C:\\Program Files"},
    {L"2-byte U+00E9 e-acute", L"Caf\u00E9", "Caf\xC3\xA9"},
    {L"3-byte U+20AC euro sign", L"\u20AC", "\xE2\x82\xAC"},
    {L"4-byte U+1F600 as pair D83D DE00", std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}, "\xF0\x9F\x98\x80"},
    {L"unpaired high surrogate D800 becomes U+FFFD", std::wstring{L'a', wchar_t(0xD800), L'b'},
     "a\xEF\xBF\xBD"
     "b"},
    {L"unpaired low surrogate DC00 becomes U+FFFD", std::wstring{wchar_t(0xDC00)}, "\xEF\xBF\xBD"},
    {L"empty", L"", ""},
};

TEST(TextConvert, ConvertsByCodePoint) {
  for (const ConversionCase& c : kConversions) {
    SCOPED_TRACE(WideToUtf8(c.name));
    EXPECT_EQ(WideToUtf8(c.wide), c.utf8);
    std::string bounded;
    ASSERT_TRUE(WideToUtf8(c.wide, c.utf8.size() + 1, bounded));
    EXPECT_EQ(bounded, c.utf8);
  }
}

TEST(TextConvert, CapacityCountsTheTerminator) {
  // U+00E9 takes two bytes: "ab\u00E9" is four bytes of text and needs five.
  std::string out = "untouched";
  EXPECT_FALSE(WideToUtf8(L"ab\u00E9", 4, out));
  EXPECT_EQ(out, "untouched");
  EXPECT_TRUE(WideToUtf8(L"ab\u00E9", 5, out));
  EXPECT_EQ(out, "ab\xC3\xA9");
  EXPECT_FALSE(WideToUtf8(L"", 0, out));
  // The mirror-path rule: 523 bytes fit a 524-byte buffer, 524 do not.
  EXPECT_TRUE(WideToUtf8(std::wstring(523, L'x'), 524, out));
  EXPECT_FALSE(WideToUtf8(std::wstring(524, L'x'), 524, out));
}

TEST(TextConvert, DecodesUtf8BackToWide) {
  for (const ConversionCase& c : kConversions) {
    if (c.utf8.find("\xEF\xBF\xBD") != std::string::npos) continue;  // replacements do not round-trip
    EXPECT_EQ(WideToUtf8(Utf8ToWide(c.utf8)), c.utf8);
  }
  EXPECT_EQ(WideToUtf8(Utf8ToWide("a\xFF"
                                  "b")),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(WideToUtf8(Utf8ToWide("\xC3")), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace quenlow
