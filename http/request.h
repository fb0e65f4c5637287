// HttpRequest: one HTTP exchange on a request object, with the caller's
// header block completed by five default headers, and the cookies that the
// response set merged into the caller's cookie text.
// A header block is a Text of "name: value" lines joined by CR LF.
// Nothing fails loudly: a failed exchange gives an empty body, status 0 and
// empty response headers; when no request object can be made, the result is
// empty and none of the caller's variables changes.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "http/request_object.h"
#include "text/text.h"

// The arguments after the URL, in their fixed order. A null pointer stands
// for a variable the caller did not supply: a scratch one takes its place.
// Every member has an initializer, so that callers' designated initializers
// may leave any of them out without a -Wmissing-field-initializers warning.
struct HttpRequestArguments {
  int method = 0;                   // 0 GET, 1 POST, 2 HEAD; anything else GET
  Text postData{};                  // body, when postBytes is empty
  Text* cookies = nullptr;          // in/out: sent, then merged
  Text* returnedCookies = nullptr;  // out
  Text* headers = nullptr;          // in/out: completed with the defaults
  Text* returnedHeaders = nullptr;  // out, "Set-Cookie" spelt that way
  int* returnedStatus = nullptr;    // out
  bool noRedirect = false;
  Bytes postBytes{};       // body when not empty
  Text proxyAddress{};     // host:port; empty goes direct
  int timeoutSeconds = 0;  // -1 keeps the object's; below 1 otherwise 15 s
  Text proxyUser{};        // used only with a proxyAddress
  Text proxyPassword{};
  // Target of the credentials: 1 the proxy (also when not given), 0 the server.
  std::optional<int> proxyCredentialsFlag{};
  std::shared_ptr<RequestObject> requestObject{};  // null: a new one per call
};

// Returns the response body exactly as received.
[[nodiscard]] Bytes HttpRequest(const Text& url,
                                const HttpRequestArguments& arguments = {});

// The trimmed text before a header line's first ":" / after it; both empty
// for a line without ":". Only spaces are trimmed: tab and CR stay.
[[nodiscard]] Text HeaderName(std::string_view line);
[[nodiscard]] Text HeaderValue(std::string_view line);

// Makes the request objects of HttpRequest; returns null when it cannot.
using RequestObjectFactory = std::function<std::shared_ptr<RequestObject>()>;
// Installs `factory` (an empty one restores RequestObject::Create) and
// returns the one it replaces.
RequestObjectFactory SetRequestObjectFactory(RequestObjectFactory factory);
