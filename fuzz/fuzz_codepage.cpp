// Code page conversion on arbitrary bytes and code pages (0, 936, 65001,
// none given, and any other number).
//
// Bounds checked, for an input of n bytes (k UTF-16 units before the first
// zero unit, an odd last byte not counted):
//   AnsiToUtf8    at most 3n bytes, well-formed UTF-8
//   Utf8ToAnsi    at most n bytes
//   TextToUtf16   an even number of bytes from 2 to 2(n + 1), ending in a
//                 zero unit, never shorter than the units of the text read
//                 as GBK plus one (the measurement)
//   Utf16ToText   at most 2k bytes in GBK, 3k in UTF-8 (well-formed), none
//                 in a code page that is not converted
// and no zero byte in any Text. Valid GBK comes back unchanged from both
// round trips, and well-formed UTF-16 from the round trip through UTF-8.
#include <optional>

#include "fuzz/fuzz_gbk.h"
#include "fuzz/fuzz_input.h"
#include "text/codepage.h"

namespace {

bool HasZeroByte(const Text& text) { return text.find('\0') != Text::npos; }

std::optional<int> FuzzCodePage(FuzzedDataProvider& input) {
  switch (input.ConsumeIntegralInRange(0, 4)) {
    case 0:
      return std::nullopt;
    case 1:
      return kCodePageAnsi;
    case 2:
      return kCodePageGbk;
    case 3:
      return kCodePageUtf8;
    default: {
      const int other = input.ConsumeIntegral<int>();
      return other == kCodePageAnsi || other == kCodePageGbk ||
                     other == kCodePageUtf8
                 ? 1252
                 : other;
    }
  }
}

bool IsConverted(int codePage) {
  return codePage == kCodePageAnsi || codePage == kCodePageGbk ||
         codePage == kCodePageUtf8;
}

// The units up to the first zero unit; an odd last byte is not a unit.
std::u16string UnitsOf(const Bytes& utf16) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
    const auto unit = static_cast<char16_t>(utf16[i] | (utf16[i + 1] << 8));
    if (unit == u'\0') break;
    units.push_back(unit);
  }
  return units;
}

bool IsWellFormedUtf16(const std::u16string& units) {
  for (std::size_t i = 0; i < units.size(); ++i) {
    if (units[i] >= 0xD800 && units[i] <= 0xDBFF) {
      if (i + 1 == units.size() || units[i + 1] < 0xDC00 ||
          units[i + 1] > 0xDFFF)
        return false;
      ++i;
    } else if (units[i] >= 0xDC00 && units[i] <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

void CheckAnsiToUtf8(const Text& text) {
  const Text utf8 = AnsiToUtf8(text);
  FUZZ_CHECK(!HasZeroByte(utf8) && utf8.size() <= 3 * text.size());
  FUZZ_CHECK(IsWellFormedUtf8(utf8));
  // The same bytes as the two steps it stands for.
  FUZZ_CHECK(utf8 ==
             Utf16ToText(TextToUtf16(text, kCodePageGbk), kCodePageUtf8));
}

void CheckUtf8ToAnsi(const Text& text) {
  const Text gbk = Utf8ToAnsi(text);
  FUZZ_CHECK(!HasZeroByte(gbk) && gbk.size() <= text.size());
  FUZZ_CHECK(gbk == Utf16ToText(TextToUtf16(text), kCodePageGbk));
}

void CheckTextToUtf16(const Text& text, std::optional<int> codePage) {
  const Bytes utf16 = TextToUtf16(text, codePage);
  FUZZ_CHECK(utf16.size() % 2 == 0);
  FUZZ_CHECK(utf16.size() >= 2 && utf16.size() <= 2 * (text.size() + 1));
  FUZZ_CHECK(utf16[utf16.size() - 1] == 0 && utf16[utf16.size() - 2] == 0);
  // Sized by the text read as GBK, whatever code page is read.
  const Bytes asGbk = TextToUtf16(text, kCodePageGbk);
  FUZZ_CHECK(utf16.size() >= asGbk.size());
  // The text holds no zero byte, so no unit before the terminator is zero.
  FUZZ_CHECK(2 * (UnitsOf(asGbk).size() + 1) == asGbk.size());
  const int used = codePage.value_or(kCodePageUtf8);
  if (used == kCodePageAnsi) FUZZ_CHECK(utf16 == asGbk);
  if (!IsConverted(used)) {
    FUZZ_CHECK(utf16 == Bytes(asGbk.size(), 0));
  }
  // Everything after the units is zero.
  const std::size_t units = UnitsOf(utf16).size();
  for (std::size_t i = 2 * units; i < utf16.size(); ++i)
    FUZZ_CHECK(utf16[i] == 0);
}

void CheckUtf16ToText(const Bytes& utf16, std::optional<int> codePage) {
  const Text text = Utf16ToText(utf16, codePage);
  FUZZ_CHECK(!HasZeroByte(text));
  const std::u16string units = UnitsOf(utf16);
  const int used = codePage.value_or(kCodePageAnsi);
  const std::size_t perUnit = used == kCodePageUtf8 ? 3
                              : IsConverted(used)   ? 2
                                                    : 0;
  FUZZ_CHECK(text.size() <= perUnit * units.size());
  if (used == kCodePageUtf8) {
    FUZZ_CHECK(IsWellFormedUtf8(text));
    if (IsWellFormedUtf16(units)) {
      const Bytes back = TextToUtf16(text, kCodePageUtf8);
      FUZZ_CHECK(UnitsOf(back) == units);
    }
  }
  // Only the units up to the first zero unit count.
  if (!utf16.empty()) {
    const Bytes shorter(utf16.begin(), utf16.begin() + 2 * units.size());
    FUZZ_CHECK(Utf16ToText(shorter, codePage) == text);
  }
}

void CheckValidGbk(const Text& gbk) {
  FUZZ_CHECK(Utf8ToAnsi(AnsiToUtf8(gbk)) == gbk);
  const Bytes utf16 = TextToUtf16(gbk, kCodePageGbk);
  FUZZ_CHECK(Utf16ToText(utf16, kCodePageGbk) == gbk);
  FUZZ_CHECK(Utf16ToText(utf16) == gbk);
  // Well-formed GBK is measured exactly: one unit per character, plus one.
  std::size_t characters = 0;
  for (std::size_t i = 0; i < gbk.size(); ++characters) {
    const auto b = static_cast<unsigned char>(gbk[i]);
    i += b >= 0x81 && b <= 0xFE ? 2 : 1;
  }
  FUZZ_CHECK(utf16.size() == 2 * (characters + 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::optional<int> codePage = FuzzCodePage(input);
  const std::string raw = input.ConsumeRemainingBytesAsString();
  Text text = raw;
  std::replace(text.begin(), text.end(), '\0', '\x01');
  CheckAnsiToUtf8(text);
  CheckUtf8ToAnsi(text);
  CheckTextToUtf16(text, codePage);
  CheckUtf16ToText(Bytes(raw.begin(), raw.end()), codePage);
  CheckValidGbk(ValidGbk(raw));
  return 0;
}
