// Turns fuzzer bytes into the values the routines take.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

#include "text/text.h"

// A Text never holds a zero byte: the fuzzer's zero bytes become 0x01.
inline Text FuzzText(FuzzedDataProvider& input, std::size_t maxLength = 64) {
  Text text = input.ConsumeRandomLengthString(maxLength);
  std::replace(text.begin(), text.end(), '\0', '\x01');
  return text;
}

inline Text RemainingText(FuzzedDataProvider& input) {
  Text text = input.ConsumeRemainingBytesAsString();
  std::replace(text.begin(), text.end(), '\0', '\x01');
  return text;
}

// Character starts reached by stepping from index `from`: a byte from 0x80
// up takes the byte after it along.
inline std::vector<bool> CharacterStarts(const Text& text, std::size_t from) {
  std::vector<bool> starts(text.size() + 1, false);
  for (std::size_t pos = from; pos < text.size();) {
    starts[pos] = true;
    pos += static_cast<unsigned char>(text[pos]) >= 0x80 ? 2 : 1;
  }
  return starts;
}

#define FUZZ_CHECK(condition)           \
  do {                                  \
    if (!(condition)) __builtin_trap(); \
  } while (0)
