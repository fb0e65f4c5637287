// Code page conversion over ICU converters. Each thread opens its converters
// once and keeps them until it ends; every conversion resets the converter it
// uses, so no state passes from one call to the next.
#include "text/codepage.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

namespace {

struct ConverterClose {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterClose>;

// Windows code page 936 exactly: 0x80 is the euro sign, 0xFF is U+F8F5, and
// every pair of a lead byte 81-FE and a trail byte 40-7E or 80-FE maps to one
// character. Malformed bytes read as U+FFFD; what GBK lacks is written as "?",
// the code page's default character.
Converter OpenGbk() {
  UErrorCode error = U_ZERO_ERROR;
  Converter converter(ucnv_open("windows-936-2000", &error));
  if (U_FAILURE(error) || !converter) return nullptr;
  ucnv_setSubstChars(converter.get(), "?", 1, &error);
  if (U_FAILURE(error)) return nullptr;
  return converter;
}

// Malformed UTF-8 reads as U+FFFD, one for each maximal ill-formed part (an
// overlong form or an encoded surrogate gives one per byte); an unpaired
// surrogate is written as EF BF BD.
Converter OpenUtf8() {
  UErrorCode error = U_ZERO_ERROR;
  Converter converter(ucnv_open("UTF-8", &error));
  if (U_FAILURE(error)) return nullptr;
  return converter;
}

UConverter* GbkConverter() {
  thread_local const Converter converter = OpenGbk();
  return converter.get();
}

UConverter* Utf8Converter() {
  thread_local const Converter converter = OpenUtf8();
  return converter.get();
}

// Null for a code page that this system does not convert; a conversion in it
// then writes nothing, as a failed platform call would.
UConverter* ConverterFor(int codePage) {
  switch (codePage) {
    case kCodePageAnsi:
    case kCodePageGbk:
      return GbkConverter();
    case kCodePageUtf8:
      return Utf8Converter();
    default:
      return nullptr;
  }
}

// A Text stands for a NUL-terminated string: it ends at its first zero byte.
std::string_view Terminated(const Text& text) {
  return std::string_view(text.c_str());
}

// The buffers below start at a size that fits GBK and UTF-8 and grow when ICU
// reports that they are full, so no input can make a conversion run past one.

std::u16string ToUnits(UConverter* converter, std::string_view bytes) {
  if (converter == nullptr || bytes.empty()) return {};
  ucnv_resetToUnicode(converter);
  std::u16string units(bytes.size(), u'\0');  // one unit per byte at most
  const char* source = bytes.data();
  const char* const sourceLimit = source + bytes.size();
  std::size_t written = 0;
  for (;;) {
    UChar* target = units.data() + written;
    UErrorCode error = U_ZERO_ERROR;
    ucnv_toUnicode(converter, &target, units.data() + units.size(), &source,
                   sourceLimit, nullptr, true, &error);
    written = static_cast<std::size_t>(target - units.data());
    if (error != U_BUFFER_OVERFLOW_ERROR) break;
    units.resize(units.size() * 2);
  }
  units.resize(written);
  return units;
}

Text FromUnits(UConverter* converter, std::u16string_view units) {
  if (converter == nullptr || units.empty()) return {};
  ucnv_resetFromUnicode(converter);
  Text bytes(units.size() * ucnv_getMaxCharSize(converter), '\0');
  const UChar* source = units.data();
  const UChar* const sourceLimit = source + units.size();
  std::size_t written = 0;
  for (;;) {
    char* target = bytes.data() + written;
    UErrorCode error = U_ZERO_ERROR;
    ucnv_fromUnicode(converter, &target, bytes.data() + bytes.size(), &source,
                     sourceLimit, nullptr, true, &error);
    written = static_cast<std::size_t>(target - bytes.data());
    if (error != U_BUFFER_OVERFLOW_ERROR) break;
    bytes.resize(bytes.size() * 2);
  }
  bytes.resize(written);
  return bytes;
}

// From one code page straight to another through ICU's pivot, which gives
// the same bytes as going through a UTF-16 value first.
Text Convert(UConverter* from, UConverter* to, std::string_view bytes) {
  if (from == nullptr || to == nullptr || bytes.empty()) return {};
  // A GBK or UTF-8 byte yields at most one unit, which takes at most
  // ucnv_getMaxCharSize bytes; from UTF-8 to GBK the text never grows.
  const std::size_t perByte =
      ucnv_getType(from) == UCNV_UTF8 ? 1 : ucnv_getMaxCharSize(to);
  Text result(bytes.size() * perByte, '\0');
  UChar pivot[1024];
  UChar* pivotSource = pivot;
  UChar* pivotTarget = pivot;
  const char* source = bytes.data();
  const char* const sourceLimit = source + bytes.size();
  std::size_t written = 0;
  for (bool reset = true;; reset = false) {
    char* target = result.data() + written;
    UErrorCode error = U_ZERO_ERROR;
    ucnv_convertEx(to, from, &target, result.data() + result.size(), &source,
                   sourceLimit, pivot, &pivotSource, &pivotTarget,
                   pivot + std::size(pivot), reset, true, &error);
    written = static_cast<std::size_t>(target - result.data());
    if (error != U_BUFFER_OVERFLOW_ERROR) break;
    result.resize(result.size() * 2);
  }
  result.resize(written);
  return result;
}

}  // namespace

// The intermediate UTF-16 value of these two is not kept, so they convert
// directly; the bytes are those of TextToUtf16 followed by Utf16ToText.
Text AnsiToUtf8(const Text& text) {
  return Convert(GbkConverter(), Utf8Converter(), Terminated(text));
}

Text Utf8ToAnsi(const Text& text) {
  return Convert(Utf8Converter(), GbkConverter(), Terminated(text));
}

// The value is measured as the text read in the ANSI code page (GBK), and its
// length is 2 x that count, terminator included, whatever code page is then
// read: so the UTF-8 bytes of 中文 (three GBK pairs) give two units and two
// zero units. When the code page read needs more units than that (malformed
// UTF-8 such as E4 41, which GBK reads as one character), the value is sized
// for the units actually read instead, still followed by one zero unit.
Bytes TextToUtf16(const Text& text, std::optional<int> codePage) {
  const std::string_view bytes = Terminated(text);
  const std::size_t measured = ToUnits(GbkConverter(), bytes).size() + 1;
  const std::u16string units =
      ToUnits(ConverterFor(codePage.value_or(kCodePageUtf8)), bytes);
  Bytes result(2 * std::max(measured, units.size() + 1), 0);
  for (std::size_t i = 0; i < units.size(); ++i) {
    result[2 * i] = static_cast<std::uint8_t>(units[i] & 0xFFu);
    result[2 * i + 1] = static_cast<std::uint8_t>(units[i] >> 8);
  }
  return result;
}

// Reads the units up to the first zero unit or the end of the value, and an
// odd last byte not at all. The output is sized for the code page written,
// so the text is never cut short.
Text Utf16ToText(const Bytes& utf16, std::optional<int> codePage) {
  std::u16string units;
  units.reserve(utf16.size() / 2);
  for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
    const auto unit = static_cast<char16_t>(utf16[i] | (utf16[i + 1] << 8));
    if (unit == u'\0') break;
    units.push_back(unit);
  }
  return FromUnits(ConverterFor(codePage.value_or(kCodePageAnsi)), units);
}
