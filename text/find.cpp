#include "text/find.h"

#include <cstring>

// GBK trail bytes overlap ASCII (0x40 and up), so every operation here walks
// the text from a known character start and tests only at character starts:
// a lead byte (0x80 and up) always takes the byte after it along.

namespace {

using Size = std::size_t;

bool IsLeadByte(char byte) { return static_cast<unsigned char>(byte) >= 0x80; }

// Length of the character at `pos`: 2 for a lead byte with a byte after it,
// 1 otherwise (a lone lead byte at the end stands alone).
Size CharLength(std::string_view text, Size pos) {
  return IsLeadByte(text[pos]) && pos + 1 < text.size() ? 2 : 1;
}

// 0 when `text` does not start a space at `pos`, else the space's length.
Size SpaceLength(std::string_view text, Size pos) {
  if (text[pos] == ' ') return 1;
  if (text[pos] == '\xA1' && pos + 1 < text.size() && text[pos + 1] == '\xA1')
    return 2;
  return 0;
}

unsigned char FoldCase(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return value >= 'A' && value <= 'Z' ? value + 0x20 : value;
}

// Compares `sought` with the bytes at `pos`; the caller has checked that
// enough bytes remain.
class Matcher {
 public:
  Matcher(std::string_view sought, bool ignoreCase)
      : sought_(sought), ignoreCase_(ignoreCase) {}

  bool At(std::string_view text, Size pos) const {
    const char* here = text.data() + pos;
    if (!ignoreCase_) {
      return here[0] == sought_[0] &&
             std::memcmp(here, sought_.data(), sought_.size()) == 0;
    }
    for (Size i = 0; i < sought_.size(); ++i) {
      if (FoldCase(here[i]) != FoldCase(sought_[i])) return false;
    }
    return true;
  }

  Size size() const { return sought_.size(); }

 private:
  std::string_view sought_;
  bool ignoreCase_;
};

// 0-based index where a 1-based `start` begins; 1 or less means the first.
Size StartIndex(int start) { return start <= 1 ? 0 : Size(start) - 1; }

}  // namespace

int FindText(std::string_view text, std::string_view sought, int start,
             bool ignoreCase) {
  const Size from = StartIndex(start);
  if (from >= text.size()) return -1;
  // An empty sought text is found at byte 1, whatever the start.
  if (sought.empty()) return 1;
  const Matcher matcher(sought, ignoreCase);
  const Size n = text.size();
  for (Size pos = from; n - pos >= matcher.size();
       pos += CharLength(text, pos)) {
    if (matcher.At(text, pos)) return static_cast<int>(pos + 1);
  }
  return -1;
}

Text ReplaceSubtext(std::string_view text, std::string_view sought,
                    std::string_view replacement, bool caseSensitive, int start,
                    int count) {
  const Size from = StartIndex(start);
  if (text.empty() || sought.empty() || from >= text.size() || count == 0)
    return Text(text);
  const Matcher matcher(sought, !caseSensitive);
  const Size n = text.size();
  Text result;
  result.reserve(n);
  Size copiedUpTo = 0;  // bytes before this index are in `result` already
  int replaced = 0;
  Size pos = from;
  while (n - pos >= matcher.size()) {
    if (matcher.At(text, pos)) {
      result.append(text.substr(copiedUpTo, pos - copiedUpTo));
      result.append(replacement);
      pos += matcher.size();
      copiedUpTo = pos;
      if (count > 0 && ++replaced == count) break;
      if (pos >= n) break;
    } else {
      pos += CharLength(text, pos);
    }
  }
  result.append(text.substr(copiedUpTo));
  return result;
}

TextList SplitText(std::string_view text, std::string_view delimiter,
                   std::optional<int> maxCount) {
  TextList pieces;
  if (text.empty() || (maxCount && *maxCount <= 0)) return pieces;
  const Size limit = maxCount ? Size(*maxCount) : Size(-1);
  if (delimiter.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  const Matcher matcher(delimiter, false);
  const Size n = text.size();
  Size pieceStart = 0;
  Size pos = 0;
  while (n - pos >= matcher.size()) {
    if (matcher.At(text, pos)) {
      pieces.emplace_back(text.substr(pieceStart, pos - pieceStart));
      if (pieces.size() == limit) return pieces;
      pos += matcher.size();
      pieceStart = pos;
      if (pos >= n) break;
    } else {
      pos += CharLength(text, pos);
    }
  }
  if (pieceStart < n) pieces.emplace_back(text.substr(pieceStart));
  return pieces;
}

Text TrimBothEnds(std::string_view text) {
  const Size n = text.size();
  Size begin = 0;
  while (begin < n) {
    const Size space = SpaceLength(text, begin);
    if (space == 0) break;
    begin += space;
  }
  Size end = begin;  // just after the last character that is not a space
  Size pos = begin;
  while (pos < n) {
    if (const Size space = SpaceLength(text, pos); space != 0) {
      pos += space;
      continue;
    }
    if (IsLeadByte(text[pos]) && pos + 1 == n) {
      end = pos;  // a lone lead byte goes; the spaces in front of it stay
      break;
    }
    pos += CharLength(text, pos);
    end = pos;
  }
  return Text(text.substr(begin, end - begin));
}

Text RemoveAllSpaces(std::string_view text) {
  const Size n = text.size();
  Text result;
  result.reserve(n);
  Size runStart = 0;  // first byte of the run of kept characters
  Size pos = 0;
  while (pos < n) {
    if (const Size space = SpaceLength(text, pos); space != 0) {
      result.append(text.substr(runStart, pos - runStart));
      pos += space;
      runStart = pos;
    } else if (IsLeadByte(text[pos]) && pos + 1 == n) {
      break;  // a lone lead byte goes
    } else {
      pos += CharLength(text, pos);
    }
  }
  result.append(text.substr(runStart, pos - runStart));
  return result;
}

Text ToUpperCase(std::string_view text) {
  Text result(text);
  for (Size pos = 0; pos < result.size(); pos += CharLength(result, pos)) {
    if (result[pos] >= 'a' && result[pos] <= 'z') result[pos] -= 0x20;
  }
  return result;
}
