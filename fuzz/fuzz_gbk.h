// Valid GBK texts and well-formed UTF-8 checks for the codec targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/text.h"

// Code page 936 text built from any bytes: 01-7F stay one-byte characters,
// 80 (the euro sign) and FF stay single bytes as the code page has them, and
// a byte 81-FE takes the next byte, mapped onto the 190 trail bytes 40-7E and
// 80-FE, as its second byte. Every such pair is a character of the code page
// (the user-defined areas map to private-use characters), so the result
// converts to UTF-8 and back unchanged. A lead byte at the end is dropped.
inline Text ValidGbk(std::string_view bytes) {
  Text gbk;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b == 0) continue;
    if (b < 0x81 || b == 0xFF) {
      gbk.push_back(static_cast<char>(b));
      continue;
    }
    if (i + 1 == bytes.size()) break;
    const unsigned trail = static_cast<unsigned char>(bytes[++i]) % 190;
    gbk.push_back(static_cast<char>(b));
    gbk.push_back(static_cast<char>(trail < 63 ? 0x40 + trail : 0x41 + trail));
  }
  return gbk;
}

// Shortest forms only, no encoded surrogates, nothing above U+10FFFF.
inline bool IsWellFormedUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (b < 0x80) {
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      length = 2, code = b & 0x1Fu;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3, code = b & 0x0Fu;
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4, code = b & 0x07u;
    } else {
      return false;
    }
    if (text.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      code = (code << 6) | (c & 0x3Fu);
    }
    const std::uint32_t least = length == 2   ? 0x80
                                : length == 3 ? 0x800
                                              : 0x10000;
    if (code < least || code > 0x10FFFF) return false;
    if (code >= 0xD800 && code <= 0xDFFF) return false;
    i += length;
  }
  return true;
}
