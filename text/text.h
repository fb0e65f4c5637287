// The system's value types and the byte-wise text operations.
// A Text is a byte string in GBK (code page 936) that never holds a zero byte;
// absent and empty are the same value. Bytes may hold zero bytes. Lengths
// count bytes and positions are 1-based. Nothing here fails: a number out of
// range gives the empty result.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

using Text = std::string;
using Bytes = std::vector<std::uint8_t>;
using TextList = std::vector<Text>;

[[nodiscard]] int TextLength(std::string_view text);
[[nodiscard]] int BytesLength(const Bytes& bytes);

// The first / last `count` bytes; 0 or less gives empty, more than the
// length gives the whole text. May cut a two-byte character.
[[nodiscard]] Text TextLeft(std::string_view text, int count);
[[nodiscard]] Text TextRight(std::string_view text, int count);
// `count` bytes from byte `start`; a start outside 1..length or a count of 0
// or less gives empty.
[[nodiscard]] Text TextMid(std::string_view text, int start, int count);

// The one byte given by the low 8 bits of `code`; empty when those are 0.
[[nodiscard]] Text CharFromCode(int code);

[[nodiscard]] Bytes ToBytes(std::string_view text);
// The bytes before the first zero byte.
[[nodiscard]] Text ToText(const Bytes& bytes);

[[nodiscard]] Text BlankText(int count);    // `count` spaces
[[nodiscard]] Bytes BlankBytes(int count);  // `count` zero bytes

// Upper-case hexadecimal without leading zeros; negatives as 32-bit two's
// complement (-1 gives FFFFFFFF).
[[nodiscard]] Text ToHexText(int number);

[[nodiscard]] Text ConcatText(std::initializer_list<std::string_view> parts);
template <typename... Parts>
[[nodiscard]] Text ConcatText(const Parts&... parts) {
  return ConcatText({std::string_view(parts)...});
}

// -1, 0 or 1, comparing bytes as unsigned values; a shorter text that is a
// prefix of the other sorts first.
[[nodiscard]] int CompareText(std::string_view a, std::string_view b);

[[nodiscard]] int ItemCount(const TextList& list);
void AppendItem(TextList& list, std::string_view item);
