#include "text/percent.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "text/find.h"

namespace {

TEST(UrlEncode, EscapesEveryByteUnlessKept) {
  const struct {
    Text in;
    bool keepUnreserved, utf8;
    Text want;
  } cases[] = {
      {"", false, false, ""},
      {"", true, true, ""},
      {"ab", false, false, "%61%62"},
      {"ab", true, false, "ab"},
      {"a b_c~d-e.f/9", true, false, "a%20b%5Fc%7Ed-e.f%2F9"},
      {"AZaz09-.", true, false, "AZaz09-."},
      {"@[`{", true, false, "%40%5B%60%7B"},  // the neighbours of A-Z, a-z
      {"\xD6\xD0", false, false, "%D6%D0"},
      {"\xD6\xD0", true, false, "%D6%D0"},
      {"\xD6\xD0", false, true, "%E4%B8%AD"},
      {"a\xD6\xD0", true, true, "a%E4%B8%AD"},
      {"\n", false, false, "%0A"},
      {"\xFF\x01", false, false, "%FF%01"},
      {std::string("a\0b", 3), false, false, "%61"},  // a Text ends at NUL
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.in) +
                 " keep=" + std::to_string(c.keepUnreserved) +
                 " utf8=" + std::to_string(c.utf8));
    EXPECT_EQ(UrlEncode(c.in, c.keepUnreserved, c.utf8), c.want);
  }
}

TEST(UrlDecode, MalformedEscapesDecodeByTheDigitRule) {
  const struct {
    Text in;
    bool utf8;
    Text want;
  } cases[] = {
      {"", false, ""},
      {"%41%42", false, "AB"},
      {"%4a%4A", false, "JJ"},
      {"a+b", false, "a+b"},
      {"%2541", false, "%41"},  // decoded once only
      {"%00", false, ""},
      {"a%00b", false, "ab"},
      {"100%", false, "100"},
      {"%4", false, "\x40"},  // the missing low digit counts 0
      {"%", false, ""},
      {"%zz", false, "\xDE"},  // each digit counts -2: -34
      {"%z1", false, "\xE1"},  // -32 + 1
      {"%1z", false, "\x0E"},  // 16 - 2
      {"%G0", false, "\xE0"},  // G is no digit
      {"%%41", false,
       "\xE4"
       "1"},  // the second % is a digit: -32 + 4
      {"%\xD6\xD0"
       "x",
       false,
       "\xDE"
       "x"},  // both bytes of a GBK character
      {"\xD6\xD0\xB0\xA5", false, "\xD6\xD0\xB0\xA5"},  // trail bytes stay
      {"\xE4\xB8\xAD", false, "\xE4\xB8\xAD"},
      {"%e4%B8%ad", true, "\xD6\xD0"},
      {"\xE4%B8\xAD%20x", true, "\xD6\xD0 x"},  // raw bytes are converted too
      {"%E4%41", true, "?A"},                   // malformed UTF-8
      {"%zz", true, "?"},
      {std::string("%41\0%42", 7), false, "A"},  // a Text ends at NUL
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.in) +
                 " utf8=" + std::to_string(c.utf8));
    EXPECT_EQ(UrlDecode(c.in, c.utf8), c.want);
  }
}

// The decoding rule spelled out one byte at a time with the text
// operations, to hold the single-pass decoder to it.
Text DecodeByteByByte(const Text& text) {
  const int n = TextLength(text);
  Text result;
  for (int i = 1; i <= n; ++i) {
    const Text one = TextMid(text, i, 1);
    if (one != "%") {
      result = ConcatText(result, one);
      continue;
    }
    const auto digit = [&](int position) {
      return FindText(HexDigitTable, ToUpperCase(TextMid(text, position, 1))) -
             1;
    };
    const int high = digit(++i);
    const int low = digit(++i);
    result = ConcatText(result, CharFromCode(16 * high + low));
  }
  return result;
}

TEST(UrlDecode, MatchesTheByteByByteRule) {
  std::mt19937 random(3);
  const char alphabet[] = "%%%%0129aAfFgGzZ+ \x80\xD6\xE4\xFF";
  std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 2);
  std::uniform_int_distribution<int> length(0, 10);
  for (int round = 0; round < 5000; ++round) {
    Text text;
    for (int n = length(random); n > 0; --n) text += alphabet[pick(random)];
    SCOPED_TRACE(testing::PrintToString(text));
    ASSERT_EQ(UrlDecode(text), DecodeByteByByte(text));
  }
}

TEST(UrlCodec, DecodeUndoesEncode) {
  const Text texts[] = {"a b+c%d", "\xD6\xD0\xCE\xC4 100%", "\x80\xFF~"};
  for (const auto& text : texts) {
    SCOPED_TRACE(testing::PrintToString(text));
    EXPECT_EQ(UrlDecode(UrlEncode(text)), text);
    EXPECT_EQ(UrlDecode(UrlEncode(text, true)), text);
    EXPECT_EQ(UrlDecode(UrlEncode(text, false, true), true), text);
  }
}

}  // namespace
