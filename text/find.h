// Searching, replacing, splitting, trimming and case changes of GBK text.
// Every operation steps through characters: a byte from 0x80 up is a lead
// byte and forms one character with the byte after it, so matches, splits and
// trims happen only at character starts. A lead byte that ends the text
// stands alone. Spaces are 0x20 and the full-width pair A1 A1; ignoring case
// folds A-Z only. Positions are 1-based; a search that finds nothing gives -1.
// Nothing here fails.
#pragma once

#include <optional>
#include <string_view>

#include "text/text.h"

// Position of the first `sought` at a character start at or after `start`
// (0 or less means 1), counted from byte 1 of the whole text. An empty
// `sought` gives 1 when any byte lies at or after the search start, else -1.
[[nodiscard]] int FindText(std::string_view text, std::string_view sought,
                           int start = 0, bool ignoreCase = false);

// Every non-overlapping `sought` replaced by `replacement`, scanning from
// `start` (1 or less means 1; the bytes before it are copied as they are),
// at most `count` times (negative: every occurrence). An empty text or an
// empty `sought` leaves the text as it is.
[[nodiscard]] Text ReplaceSubtext(std::string_view text,
                                  std::string_view sought,
                                  std::string_view replacement,
                                  bool caseSensitive, int start = 1,
                                  int count = -1);

// The pieces between delimiters: empty pieces between adjacent delimiters
// and before a leading one, none after a final one. An empty text gives no
// pieces, an empty delimiter the whole text. `maxCount` stops at that many
// pieces (0 or less gives none).
[[nodiscard]] TextList SplitText(std::string_view text,
                                 std::string_view delimiter = ",",
                                 std::optional<int> maxCount = std::nullopt);

// Without leading and trailing spaces; a lone lead byte at the end goes too.
[[nodiscard]] Text TrimBothEnds(std::string_view text);
// Without any space; a lone lead byte at the end goes too.
[[nodiscard]] Text RemoveAllSpaces(std::string_view text);
// a-z in one-byte characters become A-Z; two-byte characters stay.
[[nodiscard]] Text ToUpperCase(std::string_view text);
