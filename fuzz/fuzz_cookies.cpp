// Cookie collection and merging, cookie names and header lines on arbitrary
// bytes: no zero byte anywhere, collection is idempotent and only changes the
// letter case of the header text, the merged items obey the replacement,
// deletion and duplicate rules, and merging is idempotent once nothing more
// is received.
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "http/cookies.h"
#include "http/request.h"
#include "text/find.h"

namespace {

bool HasZeroByte(std::string_view text) {
  return text.find('\0') != std::string_view::npos;
}

char Fold(char c) { return c >= 'A' && c <= 'Z' ? char(c + 0x20) : c; }

bool EndsDeleted(std::string_view item) {
  return item.size() >= 8 && item.substr(item.size() - 8) == "=deleted";
}

bool Contains(const TextList& list, std::string_view item) {
  for (const Text& each : list)
    if (each == item) return true;
  return false;
}

// 0-based index of the first `c` at a character start, or npos.
std::size_t FirstAt(std::string_view text, char c) {
  for (std::size_t pos = 0; pos < text.size();
       pos += static_cast<unsigned char>(text[pos]) >= 0x80 ? 2 : 1) {
    if (text[pos] == c) return pos;
  }
  return std::string_view::npos;
}

void CheckCollect(Text& headers) {
  const Text before = headers;
  const Text cookies = CollectSetCookies(headers);
  FUZZ_CHECK(!HasZeroByte(cookies) && !HasZeroByte(headers));
  // Items come from lines and take at most a line's bytes; a separator of
  // two bytes stands for at least one CR LF between two lines.
  FUZZ_CHECK(cookies.size() <= headers.size());
  // Only letter case changes, and a second pass changes nothing at all.
  FUZZ_CHECK(headers.size() == before.size());
  for (std::size_t i = 0; i < headers.size(); ++i)
    FUZZ_CHECK(Fold(headers[i]) == Fold(before[i]));
  Text again = headers;
  FUZZ_CHECK(CollectSetCookies(again) == cookies && again == headers);
  if (FindText(headers, "Set-Cookie") == -1) FUZZ_CHECK(cookies.empty());
}

void CheckMerge(Text cookies, Text received) {
  const TextList oldItems = SplitText(RemoveAllSpaces(cookies), ";");
  const Text receivedWithoutSpaces = RemoveAllSpaces(received);
  const TextList newItems = SplitText(receivedWithoutSpaces, ";");
  const Text merged = MergeCookies(cookies, received);
  FUZZ_CHECK(!HasZeroByte(merged) && merged == cookies);
  // The received text is left without its spaces.
  FUZZ_CHECK(received == receivedWithoutSpaces);

  // The items hold no spaces, so "; " appears only between items.
  const TextList items = SplitText(merged, "; ");
  for (std::size_t i = 0; i < items.size(); ++i) {
    FUZZ_CHECK(!EndsDeleted(items[i]));
    FUZZ_CHECK(Contains(newItems, items[i]) || Contains(oldItems, items[i]));
    for (std::size_t k = 0; k < i; ++k) FUZZ_CHECK(items[k] != items[i]);
  }
  for (const Text& item : newItems) {
    if (!item.empty() && !EndsDeleted(item)) FUZZ_CHECK(Contains(items, item));
  }
  // An old item survives when no received item and no earlier old item has
  // its name; one with a received name never does.
  for (std::size_t i = 0; i < oldItems.size(); ++i) {
    const Text name = CookieName(oldItems[i]);
    bool taken = HasCookieName(newItems, name);
    if (taken) {
      if (!Contains(newItems, oldItems[i])) {
        FUZZ_CHECK(!Contains(items, oldItems[i]));
      }
      continue;
    }
    for (std::size_t k = 0; k < i && !taken; ++k)
      taken = CookieName(oldItems[k]) == name;
    if (!taken && !oldItems[i].empty() && !EndsDeleted(oldItems[i]))
      FUZZ_CHECK(Contains(items, oldItems[i]));
  }

  // Merging with nothing received twice gives what it gave once.
  Text none;
  Text once = merged;
  (void)MergeCookies(once, none);
  Text twice = once;
  (void)MergeCookies(twice, none);
  FUZZ_CHECK(none.empty() && twice == once);
}

void CheckCookieName(std::string_view item) {
  const Text name = CookieName(item);
  FUZZ_CHECK(!HasZeroByte(name));
  const std::size_t equals = FirstAt(item, '=');
  FUZZ_CHECK(name == TrimBothEnds(item.substr(0, equals)));
  FUZZ_CHECK(FirstAt(name, '=') == std::string_view::npos);
}

void CheckHeaderLine(std::string_view line) {
  const Text name = HeaderName(line);
  const Text value = HeaderValue(line);
  FUZZ_CHECK(!HasZeroByte(name) && !HasZeroByte(value));
  const std::size_t colon = FirstAt(line, ':');
  if (colon == std::string_view::npos) {
    FUZZ_CHECK(name.empty() && value.empty());
    return;
  }
  FUZZ_CHECK(name == TrimBothEnds(line.substr(0, colon)));
  FUZZ_CHECK(value == TrimBothEnds(line.substr(colon + 1)));
  FUZZ_CHECK(FirstAt(name, ':') == std::string_view::npos);
  FUZZ_CHECK(name.size() + value.size() < line.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const Text cookies = FuzzText(input, 64);
  const Text received = FuzzText(input, 64);
  Text headers = RemainingText(input);

  CheckCollect(headers);
  CheckMerge(cookies, received);
  // As the request routine does: the collected cookies merged into the old.
  Text collected = headers;
  CheckMerge(cookies, CollectSetCookies(collected));

  for (const Text& item : SplitText(cookies, ";")) CheckCookieName(item);
  CheckCookieName(cookies);
  for (const Text& line : SplitText(headers, "\r\n")) CheckHeaderLine(line);
  CheckHeaderLine(headers);
  return 0;
}
