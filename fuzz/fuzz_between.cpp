// Text between markers with fuzzed sources, markers and options, checked
// against a model built only from the character rules: markers match at
// character starts (stepping from where each search begins), ignored case
// folds A-Z only, trimming takes spaces (20, or A1 A1 at a character start)
// off both ends. The model walks the passes of AllTextsBetween, so the items,
// their order, the count, the event dispatches and the end of the loop are
// all checked; every undecorated item must stand in the source right after
// a left marker, with only spaces between it and the next right marker.
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "text/between.h"

namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? char(c + 0x20) : c; }

bool IsLead(char c) { return static_cast<unsigned char>(c) >= 0x80; }

bool MatchesAt(std::string_view text, std::string_view sought, std::size_t pos,
               bool ignoreCase) {
  if (pos > text.size() || text.size() - pos < sought.size()) return false;
  for (std::size_t i = 0; i < sought.size(); ++i) {
    const char a = text[pos + i], b = sought[i];
    if (ignoreCase ? Fold(a) != Fold(b) : a != b) return false;
  }
  return true;
}

// 1-based position of the first match at a character start reached by
// stepping from `start`; an empty `sought` is found at 1.
int ModelFind(std::string_view text, std::string_view sought, int start,
              bool ignoreCase) {
  const std::size_t from = start <= 1 ? 0 : std::size_t(start) - 1;
  if (sought.empty()) return from < text.size() ? 1 : -1;
  for (std::size_t pos = from; pos < text.size();
       pos += IsLead(text[pos]) ? 2 : 1) {
    if (MatchesAt(text, sought, pos, ignoreCase)) return int(pos) + 1;
  }
  return -1;
}

std::size_t SpaceAt(std::string_view text, std::size_t pos) {
  if (text[pos] == ' ') return 1;
  return text.substr(pos, 2) == "\xA1\xA1" ? 2 : 0;
}

Text ModelTrim(std::string_view text) {
  std::size_t first = 0;
  while (first < text.size() && SpaceAt(text, first) > 0)
    first += SpaceAt(text, first);
  std::size_t end = first, runStart = first;
  bool inRun = false;
  for (std::size_t pos = first; pos < text.size();) {
    if (IsLead(text[pos]) && pos + 1 == text.size()) {
      end = pos;  // a lone lead byte goes; spaces in front of it stay
      return Text(text.substr(first, end - first));
    }
    const std::size_t space = SpaceAt(text, pos);
    if (space > 0) {
      if (!inRun) runStart = pos, inRun = true;
      pos += space;
    } else {
      inRun = false;
      pos += IsLead(text[pos]) ? 2 : 1;
    }
  }
  end = inRun ? runStart : text.size();
  return Text(text.substr(first, end - first));
}

// "#引号" in a marker becomes a double quote, matched at character starts.
Text ModelMarker(std::string_view marker) {
  Text result;
  for (std::size_t pos = 0; pos < marker.size();) {
    if (marker.substr(pos, QuotePlaceholder.size()) == QuotePlaceholder) {
      result += '"';
      pos += QuotePlaceholder.size();
    } else {
      const std::size_t length =
          IsLead(marker[pos]) && pos + 1 < marker.size() ? 2 : 1;
      result += marker.substr(pos, length);
      pos += length;
    }
  }
  return result;
}

Text ModelTextBetween(std::string_view source, std::string_view left,
                      std::string_view right, int start, bool ignoreCase) {
  const Text leftMarker = ModelMarker(left), rightMarker = ModelMarker(right);
  int p1 = ModelFind(source, leftMarker, start, ignoreCase);
  if (p1 == -1) return {};
  p1 += int(leftMarker.size());
  const int p2 = ModelFind(source, rightMarker, p1, ignoreCase);
  if (p2 == -1 || p2 <= p1 || std::size_t(p1) > source.size()) return {};
  return Text(source.substr(std::size_t(p1) - 1, std::size_t(p2 - p1)));
}

int eventCount = 0;
void CountEvent() { ++eventCount; }

struct ModelResult {
  TextList items;
  int events = 0;
};

ModelResult ModelAllTextsBetween(std::string_view source, std::string_view left,
                                 std::string_view right,
                                 const BetweenOptions& options) {
  ModelResult result;
  if (left.empty() || right.empty()) return result;
  const bool ignoreCase = !options.caseSensitive;
  const bool plain = options.prefix.empty() && options.suffix.empty() &&
                     !options.includeLeft && !options.includeRight;
  int pos = options.start;
  for (;;) {
    const int p1 = ModelFind(source, left, pos, ignoreCase);
    if (p1 == -1) break;
    const int c = p1 + int(left.size());
    const int p2 = ModelFind(source, right, c, ignoreCase);
    if (p2 == -1) break;
    FUZZ_CHECK(p2 >= c);
    const std::string_view raw =
        source.substr(std::size_t(c) - 1, std::size_t(p2 - c));
    Text piece = options.prefix + ModelTrim(raw) + options.suffix;
    if (!piece.empty()) {
      if (options.includeLeft) piece = Text(left) + piece;
      if (options.includeRight) piece += right;
      const bool fits =
          options.maxLength == 0 || int(piece.size()) < options.maxLength;
      if (options.maxLength != 0) ++result.events;
      if (fits) {
        if (plain) {
          // Right after a left marker, with only spaces around it and no
          // right marker before the one that ends it.
          FUZZ_CHECK(MatchesAt(source, left, std::size_t(p1) - 1, ignoreCase));
          FUZZ_CHECK(MatchesAt(source, right, std::size_t(p2) - 1, ignoreCase));
          std::size_t at = 0;
          while (at < raw.size() && SpaceAt(raw, at) > 0)
            at += SpaceAt(raw, at);
          FUZZ_CHECK(raw.substr(at, piece.size()) == piece);
          FUZZ_CHECK(ModelTrim(raw.substr(at + piece.size())).empty());
        }
        result.items.push_back(piece);
      }
      pos = p2;
    } else {
      pos = c;
    }
    result.events += 3;
  }
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  BetweenOptions options;
  options.caseSensitive = input.ConsumeBool();
  options.includeLeft = input.ConsumeBool();
  options.includeRight = input.ConsumeBool();
  options.start = input.ConsumeIntegralInRange<int>(-2, 80);
  options.maxLength = input.ConsumeIntegralInRange<int>(-1, 12);
  if (input.ConsumeBool()) {
    options.prefix = FuzzText(input, 3);
    options.suffix = FuzzText(input, 3);
  }
  const Text left = FuzzText(input, 8);
  const Text right = FuzzText(input, 8);
  const Text source = RemainingText(input);

  FUZZ_CHECK(
      TextBetween(source, left, right, options.start, !options.caseSensitive) ==
      ModelTextBetween(source, left, right, options.start,
                       !options.caseSensitive));

  SetProcessEventsHook(&CountEvent);
  eventCount = 0;
  TextList items = {"left over", ""};  // emptied on entry
  const int count = AllTextsBetween(source, left, right, items, options);
  const ModelResult want = ModelAllTextsBetween(source, left, right, options);
  FUZZ_CHECK(count == int(items.size()));
  FUZZ_CHECK(items == want.items);
  FUZZ_CHECK(eventCount == want.events);
  return 0;
}
