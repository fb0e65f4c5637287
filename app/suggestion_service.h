// The search-suggestion service: where it lives, what every search sends it,
// and how its reply marks the suggested terms. A changed endpoint is edited
// here and nowhere else.
#pragma once

#include <string_view>

inline constexpr std::string_view SuggestionHost = "suggest.taobao.com";

// The URL is "https://" + host + head + escaped keyword + tail. The values of
// the other keys are fixed; _ksTS in particular is not renewed from the clock.
inline constexpr std::string_view kSuggestionUrlHead = "/sug?code=utf-8&q=";
inline constexpr std::string_view kSuggestionUrlTail =
    "&_ksTS=1545615822749_1198&callback=jsonp1199&k=1&area=c2c&bucketid=11";

// The header lines of every search, before the request routine adds its
// defaults. The last line ends in a lone CR without LF; the request object
// drops that CR before it reaches the wire.
inline constexpr std::string_view SearchHeaderBlock =
    "eagleeye-traceid:7f3c2ad0b4e61987c05d2b3f9a1e4c\r\n"
    "server:Tengine/Aserver\r\n"
    "status:200\r\n"
    "strict-transport-security:max-age=31536000\r\n"
    "timing-allow-origin:*\r\n"
    "vary:Accept-Encoding\r";

// The reply is JSONP; a suggested term is a string that opens a JSON array
// and has a further string after it: ["term","...
inline constexpr std::string_view kTermLeftMarker = "[\"";
inline constexpr std::string_view kTermRightMarker = "\",\"";
