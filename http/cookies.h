// Cookies of an HTTP exchange kept as one cookie text: name=value items
// joined by "; ". Collects the cookies a response set from its header text
// and merges them into a caller's cookie text. Names compare byte for byte;
// an item ending in "=deleted" stands for a deleted cookie. Plain text
// processing on GBK texts: nothing here fails.
#pragma once

#include <string_view>

#include "text/text.h"

// The cookie text of every header line that contains "Set-Cookie": the text
// between "Set-Cookie:" and the first ";", or the whole line without
// "Set-Cookie:" when it has no ";". Every spelling of "Set-Cookie" in
// `responseHeaders` is rewritten to exactly that one, in place.
[[nodiscard]] Text CollectSetCookies(Text& responseHeaders);

// The received items in their order, then the old items whose names were
// not received; items ending in "=deleted" dropped, repeated items removed.
// Spaces are removed from both variables, and `cookies` receives the result.
Text MergeCookies(Text& cookies, Text& received);

// The trimmed text before the item's first "=", or the whole trimmed item.
[[nodiscard]] Text CookieName(std::string_view item);
[[nodiscard]] bool HasCookieName(const TextList& list, std::string_view name);

// `text` split at `separator` with every repeated piece after its first
// occurrence left out, joined again by `separator`.
[[nodiscard]] Text RemoveDuplicateItems(std::string_view text,
                                        std::string_view separator);

// 1-based position of the first item equal to `text`; -1 when none is.
[[nodiscard]] int ItemIndex(const TextList& list, std::string_view text);
