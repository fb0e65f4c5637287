// Percent encoding and decoding on arbitrary bytes: both routines against a
// byte-level model of their rules, decode(encode(x)) == x for every text, and
// the same through UTF-8 for every valid GBK text.
#include "fuzz/fuzz_gbk.h"
#include "fuzz/fuzz_input.h"
#include "text/codepage.h"
#include "text/percent.h"

namespace {

bool HasZeroByte(const Text& text) { return text.find('\0') != Text::npos; }

bool IsKept(unsigned char b) {
  return b == '-' || b == '.' || (b >= '0' && b <= '9') ||
         (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

Text ModelEncode(const Text& bytes, bool keepUnreserved) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  Text encoded;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (keepUnreserved && IsKept(b)) {
      encoded += c;
    } else {
      encoded += '%';
      encoded += kDigits[b >> 4];
      encoded += kDigits[b & 0xF];
    }
  }
  return encoded;
}

// A digit is upper-cased (a-z only) and looked up in 0-9A-F: its value is its
// position there, -2 when it is not there, and 0 past the end of the text.
int ModelDigit(const Text& text, std::size_t index) {
  if (index >= text.size()) return 0;
  const char c = text[index];
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -2;
}

Text ModelDecode(const Text& text) {
  Text decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded += text[i];
      continue;
    }
    const int value = 16 * ModelDigit(text, i + 1) + ModelDigit(text, i + 2);
    if ((value & 0xFF) != 0) decoded += static_cast<char>(value & 0xFF);
    i += 2;
  }
  return decoded;
}

void CheckEncode(const Text& text, bool keepUnreserved) {
  const Text encoded = UrlEncode(text, keepUnreserved);
  FUZZ_CHECK(encoded == ModelEncode(text, keepUnreserved));
  FUZZ_CHECK(UrlDecode(encoded) == text);
  // Through UTF-8, whatever the bytes: the UTF-8 form of the text, escaped.
  const Text encodedUtf8 = UrlEncode(text, keepUnreserved, true);
  FUZZ_CHECK(encodedUtf8 == ModelEncode(AnsiToUtf8(text), keepUnreserved));
}

// Decoding never grows a text: an escape of three bytes gives at most one,
// and the conversion from UTF-8 to GBK gives at most as many bytes as it
// reads ("?" for each malformed byte, two bytes for a character of two or
// more).
void CheckDecode(const Text& text) {
  const Text decoded = UrlDecode(text);
  FUZZ_CHECK(decoded == ModelDecode(text));
  FUZZ_CHECK(!HasZeroByte(decoded) && decoded.size() <= text.size());
  const Text decodedUtf8 = UrlDecode(text, true);
  FUZZ_CHECK(!HasZeroByte(decodedUtf8) && decodedUtf8.size() <= text.size());
  FUZZ_CHECK(decodedUtf8 == Utf8ToAnsi(decoded));
}

void CheckUtf8RoundTrip(const Text& gbk, bool keepUnreserved) {
  FUZZ_CHECK(UrlDecode(UrlEncode(gbk, keepUnreserved, true), true) == gbk);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const bool keepUnreserved = input.ConsumeBool();
  const Text text = RemainingText(input);
  CheckEncode(text, keepUnreserved);
  CheckDecode(text);
  CheckUtf8RoundTrip(ValidGbk(text), keepUnreserved);
  return 0;
}
