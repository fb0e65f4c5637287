// Conversion between GBK (code page 936), UTF-16 and UTF-8.
// Malformed input is not an error: it is converted with substitutions, and a
// character that GBK lacks becomes "?". Nothing here fails.
#pragma once

#include <optional>

#include "text/text.h"

inline constexpr int kCodePageAnsi = 0;  // the system's ANSI code page: 936
inline constexpr int kCodePageGbk = 936;
inline constexpr int kCodePageUtf8 = 65001;

[[nodiscard]] Text AnsiToUtf8(const Text& text);
[[nodiscard]] Text Utf8ToAnsi(const Text& text);

// UTF-16LE code units of `text` read in `codePage` (UTF-8 when not given),
// followed by a zero unit.
[[nodiscard]] Bytes TextToUtf16(const Text& text,
                                std::optional<int> codePage = std::nullopt);
// The units of `utf16` up to the first zero unit, written in `codePage` (the
// ANSI code page when not given).
[[nodiscard]] Text Utf16ToText(const Bytes& utf16,
                               std::optional<int> codePage = std::nullopt);
