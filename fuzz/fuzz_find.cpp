// Searching, replacing, splitting, trimming and case changes on arbitrary
// bytes.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "text/find.h"

namespace {

bool HasZeroByte(const Text& text) { return text.find('\0') != Text::npos; }

char Fold(char c) { return c >= 'A' && c <= 'Z' ? char(c + 0x20) : c; }

bool MatchesAt(const Text& text, const Text& sought, std::size_t pos,
               bool ignoreCase) {
  if (text.size() - pos < sought.size()) return false;
  for (std::size_t i = 0; i < sought.size(); ++i) {
    const char a = text[pos + i], b = sought[i];
    if (ignoreCase ? Fold(a) != Fold(b) : a != b) return false;
  }
  return true;
}

void CheckFind(const Text& text, const Text& sought, int start,
               bool ignoreCase) {
  const int found = FindText(text, sought, start, ignoreCase);
  const std::size_t from = start <= 1 ? 0 : std::size_t(start) - 1;
  if (sought.empty()) {
    FUZZ_CHECK(found == (from < text.size() ? 1 : -1));
    return;
  }
  const auto starts = CharacterStarts(text, from);
  // The first character start at or after the search start that matches.
  int want = -1;
  for (std::size_t pos = from; pos < text.size(); ++pos) {
    if (starts[pos] && MatchesAt(text, sought, pos, ignoreCase)) {
      want = int(pos) + 1;
      break;
    }
  }
  FUZZ_CHECK(found == want);
}

void CheckSplit(const Text& text, const Text& delimiter) {
  const TextList pieces = SplitText(text, delimiter);
  if (text.empty()) {
    FUZZ_CHECK(pieces.empty());
    return;
  }
  Text joined;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    FUZZ_CHECK(!HasZeroByte(pieces[i]));
    if (i > 0) joined += delimiter;
    joined += pieces[i];
  }
  // A final delimiter gives no empty last piece.
  FUZZ_CHECK(joined == text || joined + delimiter == text);
}

void CheckTrim(const Text& text) {
  const Text trimmed = TrimBothEnds(text);
  FUZZ_CHECK(!HasZeroByte(trimmed) && trimmed.size() <= text.size());
  FUZZ_CHECK(text.find(trimmed) != Text::npos);
  // Trimming again changes nothing, unless the first trim removed a lone lead
  // byte and so laid bare the spaces that stood in front of it.
  const auto starts = CharacterStarts(text, 0);
  const bool loneLead = !text.empty() && starts[text.size() - 1] &&
                        static_cast<unsigned char>(text.back()) >= 0x80;
  if (!loneLead) FUZZ_CHECK(TrimBothEnds(trimmed) == trimmed);
}

void CheckRemoveSpaces(const Text& text) {
  const Text result = RemoveAllSpaces(text);
  FUZZ_CHECK(!HasZeroByte(result) && result.size() <= text.size());
  const auto starts = CharacterStarts(result, 0);
  for (std::size_t pos = 0; pos < result.size(); ++pos) {
    if (!starts[pos]) continue;
    FUZZ_CHECK(result[pos] != ' ');
    FUZZ_CHECK(!(result[pos] == '\xA1' && pos + 1 < result.size() &&
                 result[pos + 1] == '\xA1'));
  }
}

void CheckUpper(const Text& text) {
  const Text upper = ToUpperCase(text);
  FUZZ_CHECK(upper.size() == text.size());
  const auto starts = CharacterStarts(text, 0);
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    const bool small = starts[pos] && text[pos] >= 'a' && text[pos] <= 'z';
    FUZZ_CHECK(upper[pos] == (small ? char(text[pos] - 0x20) : text[pos]));
  }
}

void CheckReplace(const Text& text, const Text& sought, const Text& replacement,
                  bool caseSensitive) {
  const Text result = ReplaceSubtext(text, sought, replacement, caseSensitive);
  FUZZ_CHECK(!HasZeroByte(result));
  if (sought.empty() || text.empty()) {
    FUZZ_CHECK(result == text);
    return;
  }
  // Replacing by itself with case compared exactly changes nothing, and a
  // text without any match stays as it is.
  FUZZ_CHECK(ReplaceSubtext(text, sought, sought, true) == text);
  if (FindText(text, sought, 0, !caseSensitive) == -1)
    FUZZ_CHECK(result == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const bool ignoreCase = input.ConsumeBool();
  const int start = input.ConsumeIntegralInRange<int>(-2, 80);
  const Text sought = FuzzText(input, 6);
  const Text replacement = FuzzText(input, 6);
  const Text text = RemainingText(input);
  CheckFind(text, sought, start, ignoreCase);
  CheckSplit(text, sought);
  CheckTrim(text);
  CheckRemoveSpaces(text);
  CheckUpper(text);
  CheckReplace(text, sought, replacement, !ignoreCase);
  return 0;
}
