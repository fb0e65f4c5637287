#include "http/cookies.h"

#include "text/between.h"
#include "text/find.h"

namespace {

constexpr std::string_view kSetCookie = "Set-Cookie";
constexpr std::string_view kSetCookieColon = "Set-Cookie:";
constexpr std::string_view kDeleted = "=deleted";
constexpr std::string_view kItemSeparator = "; ";

// Drops the trailing separator that the loops above leave after the last
// item; a text that never received an item stays empty.
Text WithoutLastSeparator(const Text& text, std::string_view separator) {
  return TextLeft(text, TextLength(text) - TextLength(separator));
}

}  // namespace

Text CollectSetCookies(Text& responseHeaders) {
  responseHeaders = ReplaceSubtext(responseHeaders, kSetCookie, kSetCookie,
                                   /*caseSensitive=*/false);
  Text result;
  for (const Text& line : SplitText(responseHeaders, "\r\n")) {
    if (FindText(line, kSetCookie) == -1) continue;
    Text item;
    if (FindText(line, ";") == -1) {
      item = TrimBothEnds(ReplaceSubtext(line, kSetCookieColon, "",
                                         /*caseSensitive=*/false));
    } else {
      item = TrimBothEnds(TextBetween(line, kSetCookieColon, ";"));
    }
    result = ConcatText(result, item, kItemSeparator);
  }
  return WithoutLastSeparator(result, kItemSeparator);
}

Text MergeCookies(Text& cookies, Text& received) {
  cookies = RemoveAllSpaces(cookies);
  received = RemoveAllSpaces(received);
  const TextList oldItems = SplitText(cookies, ";");
  TextList items = SplitText(received, ";");
  // `items` grows while the old items are tested, so an old item whose name
  // an earlier old item already brought in is dropped as well.
  for (const Text& old : oldItems) {
    if (!HasCookieName(items, CookieName(old))) AppendItem(items, old);
  }
  Text merged;
  for (const Text& item : items) {
    if (CompareText(TextRight(item, TextLength(kDeleted)), kDeleted) == 0) {
      continue;
    }
    merged = ConcatText(merged, item, kItemSeparator);
  }
  cookies = RemoveDuplicateItems(WithoutLastSeparator(merged, kItemSeparator),
                                 kItemSeparator);
  return cookies;
}

Text CookieName(std::string_view item) {
  const int equals = FindText(item, "=");
  if (equals == -1) return TrimBothEnds(item);
  return TrimBothEnds(TextLeft(item, equals - 1));
}

bool HasCookieName(const TextList& list, std::string_view name) {
  for (const Text& item : list) {
    if (CompareText(CookieName(item), name) == 0) return true;
  }
  return false;
}

Text RemoveDuplicateItems(std::string_view text, std::string_view separator) {
  TextList seen;
  Text result;
  for (const Text& piece : SplitText(text, separator)) {
    if (ItemIndex(seen, piece) != -1) continue;
    AppendItem(seen, piece);
    result = ConcatText(result, piece, separator);
  }
  return WithoutLastSeparator(result, separator);
}

int ItemIndex(const TextList& list, std::string_view text) {
  for (int i = 0; i < ItemCount(list); ++i) {
    if (CompareText(list[i], text) == 0) return i + 1;
  }
  return -1;
}
