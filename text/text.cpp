#include "text/text.h"

#include <algorithm>
#include <cstdint>

namespace {

int ClampedLength(std::size_t size) {
  return static_cast<int>(std::min<std::size_t>(size, INT32_MAX));
}

}  // namespace

int TextLength(std::string_view text) { return ClampedLength(text.size()); }

int BytesLength(const Bytes& bytes) { return ClampedLength(bytes.size()); }

Text TextLeft(std::string_view text, int count) {
  if (count <= 0) return {};
  return Text(text.substr(0, static_cast<std::size_t>(count)));
}

Text TextRight(std::string_view text, int count) {
  if (count <= 0) return {};
  const auto n = std::min(text.size(), static_cast<std::size_t>(count));
  return Text(text.substr(text.size() - n));
}

Text TextMid(std::string_view text, int start, int count) {
  if (start < 1 || static_cast<std::size_t>(start) > text.size() || count <= 0)
    return {};
  return Text(text.substr(static_cast<std::size_t>(start) - 1,
                          static_cast<std::size_t>(count)));
}

Text CharFromCode(int code) {
  const auto byte = static_cast<char>(static_cast<unsigned>(code) & 0xFFu);
  if (byte == '\0') return {};
  return Text(1, byte);
}

Bytes ToBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

Text ToText(const Bytes& bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
  return Text(bytes.begin(), end);
}

Text BlankText(int count) {
  if (count <= 0) return {};
  return Text(static_cast<std::size_t>(count), ' ');
}

Bytes BlankBytes(int count) {
  if (count <= 0) return {};
  return Bytes(static_cast<std::size_t>(count), 0);
}

Text ToHexText(int number) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  auto value = static_cast<std::uint32_t>(number);
  char buffer[8];
  char* begin = buffer + sizeof buffer;
  do {
    *--begin = kDigits[value & 0xFu];
    value >>= 4;
  } while (value != 0);
  return Text(begin, buffer + sizeof buffer);
}

Text ConcatText(std::initializer_list<std::string_view> parts) {
  std::size_t size = 0;
  for (const auto part : parts) size += part.size();
  Text result;
  result.reserve(size);
  for (const auto part : parts) result.append(part);
  return result;
}

int CompareText(std::string_view a, std::string_view b) {
  // std::string_view compares through char_traits<char>, which compares as
  // unsigned char, so a byte from 0x80 up sorts after every ASCII byte.
  const int order = a.compare(b);
  return (order > 0) - (order < 0);
}

int ItemCount(const TextList& list) { return ClampedLength(list.size()); }

void AppendItem(TextList& list, std::string_view item) {
  list.emplace_back(item);
}
