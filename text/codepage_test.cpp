#include "text/codepage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

// The bytes as hexadecimal pairs, for failure messages.
std::string Hex(const Text& text) {
  std::string hex;
  for (const char c : text) {
    if (!hex.empty()) hex += ' ';
    const auto b = static_cast<unsigned char>(c);
    hex += "0123456789ABCDEF"[b >> 4];
    hex += "0123456789ABCDEF"[b & 0xF];
  }
  return hex;
}

TEST(CodePage, WellFormedTextBothWays) {
  const struct {
    Text gbk, utf8;
  } cases[] = {
      {"", ""},
      {"abc 123 ~\r\n", "abc 123 ~\r\n"},
      {"\xD6\xD0\xCE\xC4", "\xE4\xB8\xAD\xE6\x96\x87"},  // 中文
      {"\x80", "\xE2\x82\xAC"},                          // the euro sign
      {"\xA1\xA1", "\xE3\x80\x80"},                      // full-width space
      {"\xA8\xA6", "\xC3\xA9"},                          // é
      {"\xFF", "\xEF\xA3\xB5"},                          // U+F8F5
      {"a\xD6\xD0"
       "b",
       "a\xE4\xB8\xAD"
       "b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Hex(c.gbk));
    EXPECT_EQ(AnsiToUtf8(c.gbk), c.utf8);
    EXPECT_EQ(Utf8ToAnsi(c.utf8), c.gbk);
  }
}

// GBK lacks the character: it becomes "?". Malformed UTF-8 reads as U+FFFD
// first, which GBK lacks too.
TEST(CodePage, Utf8ToAnsiSubstitutesQuestionMarks) {
  const struct {
    const char* what;
    Text utf8, gbk;
  } cases[] = {
      {"hangul", "\xED\x95\x9C", "?"},
      {"thai between ASCII",
       "a\xE0\xB8\x81"
       "b",
       "a?b"},
      {"emoji, one code point", "\xF0\x9F\x98\x80", "?"},
      {"lead byte then ASCII letter",
       "\xE4"
       "A",
       "?A"},
      {"lead byte then GBK-looking byte",
       "\xE4\xB8"
       "A",
       "?A"},
      {"truncated at the end",
       "\xE4\xB8\xAD"
       "\xE4\xB8",
       "\xD6\xD0?"},
      {"lone continuation byte", "\x80", "?"},
      {"overlong slash", "\xC0\xAF", "??"},
      {"overlong three-byte slash", "\xE0\x80\xAF", "???"},
      {"encoded surrogate", "\xED\xA0\x80", "???"},
      {"byte FF",
       "\xFF"
       "a",
       "?a"},
      {"zero byte ends the text", std::string("a\0\xE4\xB8\xAD", 5), "a"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Utf8ToAnsi(c.utf8), c.gbk);
  }
}

TEST(CodePage, AnsiToUtf8OfMalformedGbk) {
  const Text fffd = "\xEF\xBF\xBD";
  const struct {
    const char* what;
    Text gbk, utf8;
  } cases[] = {
      {"lone lead byte at the end", "a\x81", "a" + fffd},
      {"lead byte then space: the space stays", "\x81 A", fffd + " A"},
      {"lead byte then 7F", "\x81\x7F", fffd + "\x7F"},
      {"lead byte then FF", "\xD6\xFF", fffd + "\xEF\xA3\xB5"},
      {"two lone lead bytes", "\x81\x81", "\xE4\xBA\x96"},  // U+4E96, a pair
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(AnsiToUtf8(c.gbk), c.utf8);
  }
}

TEST(CodePage, TextToUtf16MeasuresInGbk) {
  const struct {
    const char* what;
    Text text;
    std::optional<int> codePage;
    Bytes want;
  } cases[] = {
      {"empty: one zero unit", "", std::nullopt, {0, 0}},
      {"ASCII", "ab", std::nullopt, {0x61, 0, 0x62, 0, 0, 0}},
      // Six UTF-8 bytes measure as three GBK characters plus the terminator.
      {"UTF-8 中文, one spare zero unit",
       "\xE4\xB8\xAD\xE6\x96\x87",
       std::nullopt,
       {0x2D, 0x4E, 0x87, 0x65, 0, 0, 0, 0}},
      {"GBK 中文 in 936",
       "\xD6\xD0\xCE\xC4",
       936,
       {0x2D, 0x4E, 0x87, 0x65, 0, 0}},
      {"GBK 中文 in 0, the ANSI code page",
       "\xD6\xD0\xCE\xC4",
       0,
       {0x2D, 0x4E, 0x87, 0x65, 0, 0}},
      // GBK reads E4 41 as one character, UTF-8 needs two units: sized for
      // UTF-8.
      {"more units than measured",
       "\xE4"
       "A",
       65001,
       {0xFD, 0xFF, 0x41, 0, 0, 0}},
      {"unknown code page: zero units",
       "\xD6\xD0"
       "a",
       1252,
       {0, 0, 0, 0, 0, 0}},
      {"zero byte ends the text",
       std::string("a\0b", 3),
       std::nullopt,
       {0x61, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(TextToUtf16(c.text, c.codePage), c.want);
  }
}

TEST(CodePage, Utf16ToTextStopsAtZeroUnitOrEnd) {
  const struct {
    const char* what;
    Bytes utf16;
    std::optional<int> codePage;
    Text want;
  } cases[] = {
      {"empty", {}, std::nullopt, ""},
      {"only a zero unit", {0, 0}, std::nullopt, ""},
      {"spare zero units",
       {0x2D, 0x4E, 0x87, 0x65, 0, 0, 0, 0},
       std::nullopt,
       "\xD6\xD0\xCE\xC4"},
      {"to UTF-8",
       {0x2D, 0x4E, 0x87, 0x65, 0, 0},
       65001,
       "\xE4\xB8\xAD\xE6\x96\x87"},
      {"no zero unit", {0x2D, 0x4E}, 936, "\xD6\xD0"},
      {"odd last byte", {0x2D, 0x4E, 0x41}, std::nullopt, "\xD6\xD0"},
      {"a single byte", {0x41}, std::nullopt, ""},
      {"stops at the first zero unit",
       {0x41, 0, 0, 0, 0x42, 0},
       std::nullopt,
       "A"},
      {"GBK lacks it", {0x5C, 0xD5, 0x41, 0}, std::nullopt, "?A"},
      {"lone surrogate in GBK", {0x00, 0xD8, 0x41, 0}, 936, "?A"},
      {"lone surrogate in UTF-8", {0x00, 0xD8}, 65001, "\xEF\xBF\xBD"},
      // Two GBK characters measure as 2 + 2 + 1 bytes, UTF-8 needs 8 + 1.
      {"longer than measured",
       {0xFD, 0xFF, 0xFD, 0xFF, 0xFD, 0xFF},
       65001,
       "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"unknown code page", {0x41, 0}, 1252, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Utf16ToText(c.utf16, c.codePage), c.want);
  }
}

// The public pair converts directly; it must give the same bytes as going
// through the UTF-16 value, for well-formed and malformed input alike.
TEST(CodePage, DirectConversionMatchesUtf16Route) {
  std::mt19937 random(936);
  const std::uint8_t alphabet[] = {0x00, 0x20, 0x25, 0x3F, 0x40, 0x41, 0x7F,
                                   0x80, 0x81, 0xA1, 0xAF, 0xBF, 0xC0, 0xC3,
                                   0xD6, 0xE4, 0xED, 0xEF, 0xF0, 0xF4, 0xFF};
  std::uniform_int_distribution<std::size_t> pick(0, std::size(alphabet) - 1);
  std::uniform_int_distribution<int> length(0, 12);
  for (int round = 0; round < 3000; ++round) {
    Text text;
    for (int n = length(random); n > 0; --n)
      text += char(alphabet[pick(random)]);
    SCOPED_TRACE(Hex(text));
    const Bytes fromUtf8 = TextToUtf16(text);
    const Bytes fromGbk = TextToUtf16(text, 936);
    ASSERT_GE(fromUtf8.size(), 2u);
    ASSERT_EQ(fromUtf8.size() % 2, 0u);
    EXPECT_EQ(fromUtf8[fromUtf8.size() - 1] | fromUtf8[fromUtf8.size() - 2], 0);
    EXPECT_EQ(Utf8ToAnsi(text), Utf16ToText(fromUtf8, 936));
    EXPECT_EQ(AnsiToUtf8(text), Utf16ToText(fromGbk, 65001));
  }
}

// Every well-formed two-byte GBK character (lead 81-FE, trail 40-7E or
// 80-FE) maps to one Unicode character in code page 936 and back.
TEST(CodePage, EveryTwoByteGbkCharacterRoundTrips) {
  int roundTrips = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const Text gbk{char(lead), char(trail)};
      const Text utf8 = AnsiToUtf8(gbk);
      if (utf8 == "\xEF\xBF\xBD") {
        ADD_FAILURE() << Hex(gbk) << " reads as " << Hex(utf8);
        continue;
      }
      const Text back = Utf8ToAnsi(utf8);
      if (back != gbk) {
        ADD_FAILURE() << Hex(gbk) << " comes back as " << Hex(back);
        continue;
      }
      ++roundTrips;
    }
  }
  EXPECT_EQ(roundTrips, 126 * 190);
}

}  // namespace
