#include "text/text.h"

#include <gtest/gtest.h>

namespace {

TEST(TextCutting, OutOfRangeCountsAndStartsGiveEmptyOrWhole) {
  const struct {
    const char* what;
    Text got, want;
  } cases[] = {
      {"left 0", TextLeft("abc", 0), ""},
      {"left -1", TextLeft("abc", -1), ""},
      {"left 2", TextLeft("abc", 2), "ab"},
      {"left past end", TextLeft("abc", 5), "abc"},
      {"right 8", TextRight("abc", 8), "abc"},
      {"right 1", TextRight("abc", 1), "c"},
      {"right -3", TextRight("abc", -3), ""},
      {"mid 3,2", TextMid("abcdef", 3, 2), "cd"},
      {"mid 0,1", TextMid("abcdef", 0, 1), ""},
      {"mid 7,1", TextMid("abcdef", 7, 1), ""},
      {"mid 5,10", TextMid("abcdef", 5, 10), "ef"},
      {"mid 1,0", TextMid("abcdef", 1, 0), ""},
      // Byte-wise: a two-byte character may be cut in two.
      {"mid splits char",
       TextMid("\xD6\xD0"
               "a",
               2, 1),
       "\xD0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.got, c.want);
  }
}

TEST(CharFromCode, LowEightBitsAndNoZeroByte) {
  const struct {
    int code;
    Text want;
  } cases[] = {
      {65, "A"}, {321, "A"}, {0, ""}, {256, ""}, {-34, "\xDE"}, {255, "\xFF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(CharFromCode(c.code), c.want);
  }
}

TEST(ToHexText, UpperCaseNoLeadingZerosTwosComplement) {
  const struct {
    int number;
    Text want;
  } cases[] = {
      {0, "0"},
      {10, "A"},
      {255, "FF"},
      {-1, "FFFFFFFF"},
      {INT32_MIN, "80000000"},
      {0x1234abcd, "1234ABCD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    EXPECT_EQ(ToHexText(c.number), c.want);
  }
}

TEST(BytesAndText, ConversionStopsAtZeroByte) {
  EXPECT_EQ(ToText(Bytes{0x61, 0x62, 0x00, 0x63}), "ab");
  EXPECT_EQ(ToText(Bytes{0x00, 0x61}), "");
  EXPECT_EQ(ToText(Bytes{}), "");
  EXPECT_EQ(ToText(Bytes{0xD6, 0xD0}), "\xD6\xD0");
  EXPECT_EQ(ToBytes(""), Bytes{});
  EXPECT_EQ(ToBytes("ab"), (Bytes{0x61, 0x62}));
  EXPECT_EQ(BytesLength(ToBytes("\xD6\xD0")), 2);
}

TEST(Blanks, CountOrEmpty) {
  EXPECT_EQ(BlankText(3), "   ");
  EXPECT_EQ(BlankText(0), "");
  EXPECT_EQ(BlankText(-2), "");
  EXPECT_EQ(BlankBytes(2), (Bytes{0, 0}));
  EXPECT_EQ(BlankBytes(-1), Bytes{});
}

TEST(ConcatText, JoinsInOrderAndSkipsEmpty) {
  const Text a = "ab";
  EXPECT_EQ(ConcatText(a, "", "\xD6\xD0", Text("c")),
            "ab\xD6\xD0"
            "c");
  EXPECT_EQ(ConcatText("", ""), "");
}

TEST(CompareText, UnsignedBytesAndPrefixesSortFirst) {
  const struct {
    Text a, b;
    int want;
  } cases[] = {
      {"", "", 0},
      {"a", "B", 1},
      {"ab", "abc", -1},
      {"abc", "ab", 1},
      {"\x80", "a", 1},
      {"a", "\xFF", -1},
      {"\xD6\xD0", "\xD6\xD0", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.a) + " vs " +
                 testing::PrintToString(c.b));
    EXPECT_EQ(CompareText(c.a, c.b), c.want);
  }
}

TEST(TextList, AppendStoresACopy) {
  TextList list;
  EXPECT_EQ(ItemCount(list), 0);
  Text item = "abc";
  AppendItem(list, item);
  item[0] = 'x';
  ASSERT_EQ(ItemCount(list), 1);
  EXPECT_EQ(list[0], "abc");
  AppendItem(list, "");
  EXPECT_EQ(list, (TextList{"abc", ""}));
  list.clear();
  AppendItem(list, "z");
  EXPECT_EQ(list, TextList{"z"});
}

}  // namespace
