#include "text/between.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextBetween, FirstPieceOrEmpty) {
  const struct {
    Text source, left, right;
    int start;
    Text want;
  } cases[] = {
      {"x[ a ]y]", "[", "]", 0, " a "},  // untrimmed, first right marker
      {"xay]", "[", "]", 0, ""},         // no left marker
      {"x[ay", "[", "]", 0, ""},         // no right marker after it
      {"]x[ay", "[", "]", 0, ""},        // a right marker only before it
      {"x[]y", "[", "]", 0, ""},         // markers next to each other
      // The right marker is sought only after the end of the left one.
      {"abxb", "ab", "b", 0, "x"},
      {"Set-Cookie: a=1", "Set-Cookie:", ";", 0, ""},
      {"Set-Cookie: a=1; path=/", "Set-Cookie:", ";", 0, " a=1"},
      // The placeholder stands for a double quote, in either marker.
      {"k=\"v\"", ConcatText("=", QuotePlaceholder), Text(QuotePlaceholder), 0,
       "v"},
      {ConcatText("=", QuotePlaceholder, "v"),
       ConcatText("=", QuotePlaceholder), "v", 0, ""},
      {"[a][b]", "[", "]", 3, "b"},
      {"[a][b]", "[", "]", 7, ""},   // start past the end
      {"[a][b]", "[", "]", 1, "a"},  // 1, 0 and below search from byte 1
      {"[a][b]", "[", "]", -3, "a"},
      {"[a]", "[", "", 0, ""},       // empty right marker
      {"ab]c]", "", "]", 3, "ab"},   // empty left marker: found at 1
      {"\xB0[x]", "[", "]", 0, ""},  // B0 5B is one character
      {"\xB0[x[y]", "[", "]", 0, "y"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.source) + " start " +
                 std::to_string(c.start));
    EXPECT_EQ(TextBetween(c.source, c.left, c.right, c.start), c.want);
  }
}

TEST(TextBetween, CaseIsComparedExactlyUnlessIgnored) {
  const Text line = "set-cookie: a=1;";
  EXPECT_EQ(TextBetween(line, "Set-Cookie:", ";"), "");
  EXPECT_EQ(TextBetween(line, "Set-Cookie:", ";", 0, true), " a=1");
}

struct BetweenCase {
  Text source, left, right;
  BetweenOptions options;
  TextList want;
};

void ExpectPieces(const BetweenCase& c) {
  SCOPED_TRACE(testing::PrintToString(c.source) + " between " +
               testing::PrintToString(c.left) + " and " +
               testing::PrintToString(c.right));
  TextList items = {"left over"};
  EXPECT_EQ(AllTextsBetween(c.source, c.left, c.right, items, c.options),
            static_cast<int>(c.want.size()));
  EXPECT_EQ(items, c.want);
}

TEST(AllTextsBetween, BracketCases) {
  const Text s = "[a]1[ b c ]2[]3";
  const BetweenCase cases[] = {
      {s, "[", "]", {}, {"a", "b c"}},
      // With decoration every piece enters, the empty one included; the
      // spaces are trimmed before the prefix and suffix are added.
      {s, "[", "]", {.prefix = "(", .suffix = ")"}, {"(a)", "(b c)", "()"}},
      {s, "[", "]", {.prefix = "("}, {"(a", "(b c", "("}},
      {s,
       "[",
       "]",
       {.includeLeft = true, .includeRight = true},
       {"[a]", "[b c]"}},
      {s,
       "[",
       "]",
       {.prefix = "(",
        .suffix = ")",
        .includeLeft = true,
        .includeRight = true},
       {"[(a)]", "[(b c)]", "[()]"}},
      // The limit is strict and applies to the finished piece.
      {s, "[", "]", {.maxLength = 2}, {"a"}},
      {s, "[", "]", {.maxLength = 3}, {"a"}},
      {s, "[", "]", {.maxLength = 4}, {"a", "b c"}},
      {s,
       "[",
       "]",
       {.maxLength = 4, .includeLeft = true, .includeRight = true},
       {"[a]"}},
      {s,
       "[",
       "]",
       {.maxLength = 4, .prefix = "(", .suffix = ")"},
       {"(a)", "()"}},
      {s, "[", "]", {.maxLength = -1}, {}},
      {s, "[", "]", {.start = 2}, {"b c"}},
      {s, "[", "]", {.start = -4}, {"a", "b c"}},
      {s, "[", "]", {.start = 99}, {}},
      {"[a]1[b", "[", "]", {}, {"a"}},
      {"abc", "[", "]", {}, {}},
      {"", "[", "]", {}, {}},
      {"[a]]b]", "[", "]", {}, {"a"}},
  };
  for (const auto& c : cases) ExpectPieces(c);
}

TEST(AllTextsBetween, WhereTheNextSearchBegins) {
  const BetweenCase cases[] = {
      // Each right marker also opens the next piece.
      {"/a/b/c/", "/", "/", {}, {"a", "b", "c"}},
      // A left marker inside a non-empty piece opens nothing, also when the
      // piece is too long to enter.
      {"[a[b]", "[", "]", {}, {"a[b"}},
      {"[xx[y]", "[", "]", {.maxLength = 2}, {}},
      // After an empty piece the search goes on right after its left marker,
      // where a left marker that begins with a space is found again.
      {" ]  ]a]", " ]", "]", {}, {"a"}},
      // Full-width spaces are trimmed; B0 5D is one character, not a marker.
      {"[\xA1\xA1"
       "a\xA1\xA1]",
       "[",
       "]",
       {},
       {"a"}},
      {"[\xB0]x]", "[", "]", {}, {"\xB0]x"}},
      // Markers are taken literally: no placeholder here.
      {"[\"a\"]", Text(QuotePlaceholder), "\"", {}, {}},
      {ConcatText(QuotePlaceholder, "a\""),
       Text(QuotePlaceholder),
       "\"",
       {},
       {"a"}},
      // Empty markers end at once.
      {"[a]", "", "]", {}, {}},
      {"[a]", "[", "", {}, {}},
      {"[a]", "", "", {.prefix = "("}, {}},
  };
  for (const auto& c : cases) ExpectPieces(c);
}

TEST(AllTextsBetween, CaseIsIgnoredUnlessCaseSensitive) {
  const Text s = "ABxab abyAB";
  const BetweenCase cases[] = {
      {s, "AB", "ab", {}, {"x", "y"}},
      {s, "ab", "AB", {}, {"x", "y"}},
      {s, "AB", "ab", {.caseSensitive = true}, {"x"}},
      {s, "ab", "AB", {.caseSensitive = true}, {"aby"}},
  };
  for (const auto& c : cases) ExpectPieces(c);
}

TEST(AllTextsBetween, FirstElementOfEachArray) {
  const Text reply =
      "jsonp1199({\"result\":[[\"abc\",\"1\"],[\" abd \",\"2\",\"x\"],"
      "[\"\",\"3\"],[\"\xC4\xE3\xBA\xC3\",\"4\"]],\"tmall\":\"[\\\"q\\\"]\"})";
  ExpectPieces({reply, "[\"", "\",\"", {}, {"abc", "abd", "\xC4\xE3\xBA\xC3"}});
}

class ProcessEventsHookTest : public testing::Test {
 protected:
  void TearDown() override { SetProcessEventsHook(nullptr); }

  static inline int calls = 0;
  static void Count() { ++calls; }
};

TEST_F(ProcessEventsHookTest, ThreeCallsPerPassAndOneMorePerPieceWithLimit) {
  const struct {
    Text source, left, right;
    int maxLength;
    int want;
  } cases[] = {
      {"[a]1[ b c ]2[]3", "[", "]", 0, 9},    // three passes
      {"[a]1[ b c ]2[]3", "[", "]", 2, 11},   // two non-empty, one too long
      {"[a]1[ b c ]2[]3", "[", "]", -1, 11},  // none enters, still dispatched
      {"[a]1[b", "[", "]", 0, 3},
      {"abc", "[", "]", 0, 0},
      {"[a]", "", "]", 0, 0},
  };
  SetProcessEventsHook(&Count);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.source) + " maxLength " +
                 std::to_string(c.maxLength));
    calls = 0;
    TextList items;
    AllTextsBetween(c.source, c.left, c.right, items,
                    {.maxLength = c.maxLength});
    EXPECT_EQ(calls, c.want);
  }
}

// A handler run from the hook may extract again; the interrupted extraction
// keeps its own state and finishes as if nothing had happened.
TEST_F(ProcessEventsHookTest, ReentrantExtractionLeavesTheOuterOneIntact) {
  static TextList inner;
  static int innerCount = 0;
  static bool inside = false;
  SetProcessEventsHook([] {
    if (inside || !inner.empty()) return;
    inside = true;
    innerCount = AllTextsBetween("<x><y>", "<", ">", inner);
    inside = false;
  });
  TextList outer;
  EXPECT_EQ(AllTextsBetween("[a][b][c]", "[", "]", outer), 3);
  EXPECT_EQ(outer, (TextList{"a", "b", "c"}));
  EXPECT_EQ(innerCount, 2);
  EXPECT_EQ(inner, (TextList{"x", "y"}));
}

}  // namespace
