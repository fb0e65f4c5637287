// Percent encoding and decoding of texts, optionally through UTF-8.
// Both work on bytes; malformed escapes decode by a fixed rule, nothing fails.
#pragma once

#include "text/text.h"

inline constexpr char HexDigitTable[] = "0123456789ABCDEF";

// Every byte as "%XX"; with `keepUnreserved`, - . 0-9 A-Z a-z stay as they
// are. With `utf8`, the GBK text is converted to UTF-8 first.
[[nodiscard]] Text UrlEncode(const Text& text, bool keepUnreserved = false,
                             bool utf8 = false);
// "%XX" escapes turned back into bytes in one pass; with `utf8`, the result
// is then converted from UTF-8 to GBK.
[[nodiscard]] Text UrlDecode(const Text& text, bool utf8 = false);
