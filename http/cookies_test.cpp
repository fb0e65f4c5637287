#include "http/cookies.h"

#include <gtest/gtest.h>

namespace {

TEST(CollectSetCookies, ItemsAndNormalisedHeaders) {
  const struct {
    const char* name;
    Text headers;
    Text want;
    Text headersAfter;
  } cases[] = {
      {"attributes dropped, lower-case line without ';' kept whole",
       "Set-Cookie: a=1; Path=/\r\nset-cookie: b=2\r\nContent-Type: text/html",
       "a=1; b=2",
       "Set-Cookie: a=1; Path=/\r\nSet-Cookie: b=2\r\nContent-Type: text/html"},
      {"no cookie line", "Content-Type: text/html\r\nServer: x", "",
       "Content-Type: text/html\r\nServer: x"},
      {"empty header text", "", "", ""},
      {"Set-Cookie2 gives an empty first item",
       "Set-Cookie2: x=1; Path=/\r\nSet-Cookie: a=1; Path=/", "; a=1",
       "Set-Cookie2: x=1; Path=/\r\nSet-Cookie: a=1; Path=/"},
      {"a value that mentions the name, without ';'",
       "X-Note: see SET-COOKIE docs", "X-Note: see Set-Cookie docs",
       "X-Note: see Set-Cookie docs"},
      {"mixed-case name with ';' is cut between the markers",
       "sEt-CoOkIe:  sid=abc ; HttpOnly", "sid=abc",
       "Set-Cookie:  sid=abc ; HttpOnly"},
      {"every Set-Cookie: of a line without ';' goes",
       "Set-Cookie: x=1 set-cookie:y", "x=1 y", "Set-Cookie: x=1 Set-Cookie:y"},
      {"trailing CR LF gives no empty line", "Set-Cookie: a=1\r\n", "a=1",
       "Set-Cookie: a=1\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Text headers = c.headers;
    EXPECT_EQ(CollectSetCookies(headers), c.want);
    EXPECT_EQ(headers, c.headersAfter);
  }
}

TEST(MergeCookies, OrderReplacementDeletionAndDuplicates) {
  const struct {
    const char* name;
    Text cookies, received;
    Text want;
  } cases[] = {
      {"both empty", "", "", ""},
      {"received first, then old names not received", "a=1; b=2", "b=3; c=4",
       "b=3; c=4; a=1"},
      {"received deletion removes the old cookie", "a=1", "a=deleted", ""},
      {"deletion of an unknown cookie is dropped too", "", "x=deleted", ""},
      {"deletion marker is case sensitive", "a=1", "a=DELETED", "a=DELETED"},
      {"old deletion marker is dropped", "a=deleted; b=2", "", "b=2"},
      {"first of several old items with one name", "a=1; a=2", "", "a=1"},
      {"equal received items collapse", "", "a=1; a=1", "a=1"},
      {"received items sharing a name all stay", "", "a=1; a=2", "a=1; a=2"},
      {"spaces are removed", "a = 1", "", "a=1"},
      {"spaces inside values too", "b=b c", "", "b=bc"},
      {"full-width spaces too",
       "a=\xA1\xA1"
       "1",
       "", "a=1"},
      {"trailing separator gives no empty item", "a=1;", "", "a=1"},
      {"adjacent separators keep an empty item", "a=1;;b=2", "", "a=1; ; b=2"},
      {"item without '=' is a cookie of that name", "secure; a=1", "b=2",
       "b=2; secure; a=1"},
      {"item without '=' replaced by a received one", "flag; a=1", "flag=on",
       "flag=on; a=1"},
      {"names compare with letter case", "A=1", "a=2", "a=2; A=1"},
      {"';' without space separates on input", "a=1;b=2", "", "a=1; b=2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Text cookies = c.cookies;
    Text received = c.received;
    EXPECT_EQ(MergeCookies(cookies, received), c.want);
    EXPECT_EQ(cookies, c.want);
  }
}

TEST(MergeCookies, ReceivedTextLosesItsSpaces) {
  Text cookies;
  Text received = "a=1; b=2";
  (void)MergeCookies(cookies, received);
  EXPECT_EQ(received, "a=1;b=2");
  EXPECT_EQ(cookies, "a=1; b=2");
}

TEST(CookieName, TrimmedTextBeforeFirstEquals) {
  const struct {
    Text item, want;
  } cases[] = {
      {"a=1", "a"},       {" a =1", "a"}, {"a==b", "a"}, {"flag", "flag"},
      {" flag ", "flag"}, {"=1", ""},     {"", ""},      {"a\t=1", "a\t"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.item));
    EXPECT_EQ(CookieName(c.item), c.want);
  }
}

TEST(HasCookieName, ComparesNamesExactly) {
  const TextList list = {"a=1", "B=2", "flag"};
  EXPECT_TRUE(HasCookieName(list, "a"));
  EXPECT_TRUE(HasCookieName(list, "flag"));
  EXPECT_FALSE(HasCookieName(list, "b"));
  EXPECT_FALSE(HasCookieName(list, "a=1"));
  EXPECT_FALSE(HasCookieName({}, ""));
  EXPECT_TRUE(HasCookieName({"=x"}, ""));
}

TEST(RemoveDuplicateItems, KeepsFirstOccurrences) {
  const struct {
    Text text, separator, want;
  } cases[] = {
      {"a; b; a; c; b", "; ", "a; b; c"},
      {"", "; ", ""},
      {"a; ; b; ", "; ", "a; ; b"},
      {"x,y,x", ",", "x,y"},
      {"a;a; a", ";", "a; a"},  // " a" differs from "a"
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(RemoveDuplicateItems(c.text, c.separator), c.want);
  }
}

TEST(ItemIndex, FirstEqualItemOrMinusOne) {
  const TextList list = {"a", "b", "a", ""};
  EXPECT_EQ(ItemIndex(list, "a"), 1);
  EXPECT_EQ(ItemIndex(list, "b"), 2);
  EXPECT_EQ(ItemIndex(list, ""), 4);
  EXPECT_EQ(ItemIndex(list, "A"), -1);
  EXPECT_EQ(ItemIndex({}, "a"), -1);
}

}  // namespace
