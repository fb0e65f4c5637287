#include "text/find.h"

#include <gtest/gtest.h>

namespace {

TEST(FindText, StartRulesAndPositionsFromByteOne) {
  const struct {
    Text text, sought;
    int start;
    bool ignoreCase;
    int want;
  } cases[] = {
      {"abcabc", "bc", 0, false, 2},
      {"abcabc", "bc", 3, false, 5},  // counted from byte 1, not the start
      {"abcabc", "bc", -1, false, 2},
      {"abcabc", "bc", 7, false, -1},  // start beyond the last byte
      {"abcabc", "bc", 6, false, -1},  // too few bytes left
      {"abc", "", 0, false, 1},
      {"abc", "", 3, false, 1},  // an empty sought text is found at 1
      {"abc", "", 4, false, -1},
      {"", "", 0, false, -1},
      {"", "a", 0, false, -1},
      {"set-cookie: a", "Set-Cookie", 0, true, 1},
      {"set-cookie: a", "Set-Cookie", 0, false, -1},
      {"x\xC1\xC2", "\xE1\xE2", 0, true, -1},  // only A-Z fold
      {"[a]AB", "ab", 2, true, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text) + " / " +
                 testing::PrintToString(c.sought) + " from " +
                 std::to_string(c.start));
    EXPECT_EQ(FindText(c.text, c.sought, c.start, c.ignoreCase), c.want);
  }
}

TEST(FindText, MatchesOnlyAtCharacterStarts) {
  const struct {
    Text text, sought;
    int start;
    int want;
  } cases[] = {
      // Byte 2 is the trail byte of B0 A1, so A1 A1 is first found at 3.
      {"\xB0\xA1\xA1\xA1", "\xA1\xA1", 0, 3},
      {"\xB0\xA1", "\xB0", 0, 1},  // a lead byte alone is found
      // Trail bytes that look like ASCII are not characters of their own.
      {"\xD5\x40"
       "@",
       "@", 0, 3},
      {"\x81\\"
       "\\",
       "\\", 0, 3},
      {"\x81"
       "a",
       "a", 0, -1},
      {"\x81"
       "aA",
       "a", 0, -1},
      // Stepping counts from the start given, which may be a trail byte.
      {"\xB0\xA1\xA1\xA1", "\xA1\xA1", 2, 2},
      {"ab\x80", "\x80", 0, 3},  // lone lead byte at the end
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text) + " / " +
                 testing::PrintToString(c.sought));
    EXPECT_EQ(FindText(c.text, c.sought, c.start), c.want);
  }
  EXPECT_EQ(FindText("\x81"
                     "aA",
                     "a", 0, true),
            3);
}

TEST(ReplaceSubtext, NoOverlapNoRescanAndIgnoredCase) {
  const struct {
    Text text, sought, replacement;
    bool caseSensitive;
    int start, count;
    Text want;
  } cases[] = {
      {"aaaa", "aa", "a", true, 1, -1, "aa"},
      {"aaa", "a", "aa", true, 1, -1, "aaaaaa"},  // inserted text not rescanned
      {"set-cookie: a\r\nSET-COOKIE: b", "Set-Cookie", "Set-Cookie", false, 1,
       -1, "Set-Cookie: a\r\nSet-Cookie: b"},
      {"SeT-CoOkIe:x", "Set-Cookie:", "", false, 1, -1, "x"},
      {"Ab", "ab", "x", true, 1, -1, "Ab"},
      {"", "a", "b", true, 1, -1, ""},
      {"abc", "", "x", true, 1, -1, "abc"},
      // A1 A1 inside B0 A1 A1 A1: only the pair at a character start.
      {"\xB0\xA1\xA1\xA1", "\xA1\xA1", "-", true, 1, -1, "\xB0\xA1-"},
      {"\x81"
       "aa",
       "a", "b", true, 1, -1,
       "\x81"
       "ab"},
      {"a\x80", "\x80", "z", true, 1, -1, "az"},  // lone lead byte matches
      // start and count.
      {"abab", "ab", "x", true, 3, -1, "abx"},
      {"abab", "ab", "x", true, 0, -1, "xx"},
      {"abab", "ab", "x", true, 5, -1, "abab"},
      {"ababab", "ab", "x", true, 1, 2, "xxab"},
      {"abab", "ab", "x", true, 1, 0, "abab"},
      {"abab", "ab", "x", true, 1, -7, "xx"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text) + " / " +
                 testing::PrintToString(c.sought));
    EXPECT_EQ(ReplaceSubtext(c.text, c.sought, c.replacement, c.caseSensitive,
                             c.start, c.count),
              c.want);
  }
}

TEST(SplitText, EmptyPiecesAndCharacterStarts) {
  const struct {
    Text text, delimiter;
    TextList want;
  } cases[] = {
      {"a;;b", ";", {"a", "", "b"}},
      {";a", ";", {"", "a"}},
      {"a;", ";", {"a"}},
      {";", ";", {""}},
      {"", ";", {}},
      {"a\r\nb\r\n", "\r\n", {"a", "b"}},
      {"a\rb", "\r\n", {"a\rb"}},
      {"a;b", "", {"a;b"}},
      {"a=1; b=2", "; ", {"a=1", "b=2"}},
      {"\xB0;x", ";", {"\xB0;x"}},  // B0 3B is one character
      {"\x81;a;", ";", {"\x81;a"}},
      {"a,b", ",", {"a", "b"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(SplitText(c.text, c.delimiter), c.want);
  }
  EXPECT_EQ(SplitText("a,b"), (TextList{"a", "b"}));
}

TEST(SplitText, MaxCountStopsAndDropsTheRest) {
  EXPECT_EQ(SplitText("a;b;c", ";", 2), (TextList{"a", "b"}));
  EXPECT_EQ(SplitText("a;b;c", ";", 3), (TextList{"a", "b", "c"}));
  EXPECT_EQ(SplitText("a;b;c", ";", 9), (TextList{"a", "b", "c"}));
  EXPECT_EQ(SplitText("a;b;c", ";", 0), TextList{});
  EXPECT_EQ(SplitText("a;b;c", ";", -1), TextList{});
  EXPECT_EQ(SplitText("a", "", 1), TextList{"a"});
}

TEST(TrimBothEnds, SpacesFullWidthSpacesAndLoneLeadByte) {
  const struct {
    Text text, want;
  } cases[] = {
      {"  a b  ", "a b"},
      {"\ta\r", "\ta\r"},
      {"\xA1\xA1x\xA1\xA1", "x"},
      {"   ", ""},
      {"\xA1\xA1 \xA1\xA1", ""},
      {"", ""},
      {"a \x80", "a "},      // lone lead byte goes, the space before it stays
      {"a\x80 ", "a\x80 "},  // 80 20 is one character
      {"\x80", ""},
      {"\xB0\xA1\xA1\xA1", "\xB0\xA1"},  // the pair at byte 3 is a space
      {"\xB0\xA1\xA1", "\xB0\xA1"},      // B0 A1, then a lone A1
      {"\xB0\xA1\xA1\xA1\xA1", "\xB0\xA1\xA1\xA1"},
      {" \xA1", ""},  // a lone A1 is a lone lead byte, not half a space
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(TrimBothEnds(c.text), c.want);
  }
}

TEST(RemoveAllSpaces, KeepsControlBytesAndWholeCharacters) {
  const struct {
    Text text, want;
  } cases[] = {
      {" a = b ", "a=b"},
      {"a\r\n\tb", "a\r\n\tb"},
      {"\xA1\xA1"
       "a\xA1\xA1",
       "a"},
      {"\x81 x", "\x81 x"},  // 81 20 is one character
      {"ab\x80", "ab"},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(RemoveAllSpaces(c.text), c.want);
  }
}

TEST(ToUpperCase, LeavesTwoByteCharactersAlone) {
  const struct {
    Text text, want;
  } cases[] = {
      {"abc", "ABC"},
      {"\x81"
       "a",
       "\x81"
       "a"},
      {"\x81"
       "aa",
       "\x81"
       "aA"},
      {"a{z}", "A{Z}"},
      {"x\xFF", "X\xFF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(ToUpperCase(c.text), c.want);
  }
}

}  // namespace
