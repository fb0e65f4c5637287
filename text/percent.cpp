// Percent escapes: "%" followed by two hexadecimal digits.
#include "text/percent.h"

#include <array>
#include <cstring>
#include <string_view>

#include "text/codepage.h"

namespace {

// A Text stands for a NUL-terminated string: it ends at its first zero byte.
std::string_view Terminated(const Text& text) {
  return std::string_view(text.c_str());
}

// The bytes that UrlEncode keeps with `keepUnreserved`: - . 0-9 A-Z a-z.
constexpr std::array<bool, 256> kKept = [] {
  std::array<bool, 256> kept{};
  kept['-'] = kept['.'] = true;
  for (int b = '0'; b <= '9'; ++b) kept[b] = true;
  for (int b = 'A'; b <= 'Z'; ++b) kept[b] = true;
  for (int b = 'a'; b <= 'z'; ++b) kept[b] = true;
  return kept;
}();

// The value of a byte read as an escape digit: the byte is upper-cased (a-z
// only), found in HexDigitTable, and counts its 1-based position there minus
// one. A byte that is not there is "found" at -1 and so counts -2.
constexpr std::array<int, 256> kDigitValue = [] {
  std::array<int, 256> value{};
  value.fill(-2);
  for (int i = 0; i < 16; ++i) {
    const auto digit = static_cast<unsigned char>(HexDigitTable[i]);
    value[digit] = i;
    if (digit >= 'A' && digit <= 'Z') value[digit + 0x20] = i;
  }
  return value;
}();

// A digit position past the end reads the empty text, which the lookup finds
// at position 1, so it counts 0.
int DigitAt(std::string_view text, std::size_t index) {
  if (index >= text.size()) return 0;
  return kDigitValue[static_cast<unsigned char>(text[index])];
}

}  // namespace

Text UrlEncode(const Text& text, bool keepUnreserved, bool utf8) {
  const std::string_view plain = Terminated(text);
  if (plain.empty()) return {};
  const Text converted = utf8 ? AnsiToUtf8(text) : Text();
  const std::string_view bytes = utf8 ? std::string_view(converted) : plain;
  Text result(3 * bytes.size(), '\0');
  char* out = result.data();
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (keepUnreserved && kKept[b]) {
      *out++ = c;
    } else {
      *out++ = '%';
      *out++ = HexDigitTable[b >> 4];
      *out++ = HexDigitTable[b & 0xF];
    }
  }
  result.resize(static_cast<std::size_t>(out - result.data()));
  return result;
}

// One pass: the run up to the next "%" is copied whole, then the escape is
// decoded; the two bytes after a "%" are consumed whatever they are, so a "%"
// that an escape produces is never decoded again.
Text UrlDecode(const Text& text, bool utf8) {
  const std::string_view in = Terminated(text);
  Text result;
  result.reserve(in.size());
  std::size_t i = 0;
  while (i < in.size()) {
    const void* found = std::memchr(in.data() + i, '%', in.size() - i);
    const std::size_t percent =
        found == nullptr ? in.size()
                         : static_cast<std::size_t>(
                               static_cast<const char*>(found) - in.data());
    result.append(in.substr(i, percent - i));
    if (percent == in.size()) break;
    // The low 8 bits of the value, as CharFromCode takes them; 0 adds nothing
    // since a Text holds no zero byte.
    const int value = 16 * DigitAt(in, percent + 1) + DigitAt(in, percent + 2);
    const auto byte = static_cast<char>(value & 0xFF);
    if (byte != '\0') result.push_back(byte);
    i = percent + 3;
  }
  if (utf8) return Utf8ToAnsi(result);
  return result;
}
