#include "http/request.h"

#include <climits>
#include <cmath>
#include <utility>

#include "http/cookies.h"
#include "text/find.h"

namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr int kDefaultTimeoutMs = 15000;

RequestObjectFactory& Factory() {
  static RequestObjectFactory factory;
  return factory;
}

std::shared_ptr<RequestObject> MakeRequestObject() {
  const RequestObjectFactory& factory = Factory();
  return factory ? factory() : RequestObject::Create();
}

const char* MethodName(int method) {
  switch (method) {
    case 1:
      return "POST";
    case 2:
      return "HEAD";
    default:
      return "GET";
  }
}

int TimeoutMs(int timeoutSeconds) {
  if (timeoutSeconds < 1) return kDefaultTimeoutMs;
  const double ms = std::trunc(timeoutSeconds * 1000.0);
  return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

// Appends each default header whose marker occurs nowhere in the block.
void CompleteHeaderBlock(Text& block, const Text& url) {
  const struct {
    std::string_view marker;
    Text line;
  } defaults[] = {
      {"Accept:", "Accept: */*"},
      {"Referer:", ConcatText("Referer: ", url)},
      {"Accept-Language:", "Accept-Language: zh-cn"},
      {"User-Agent:",
       "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"},
      {"Content-Type:", "Content-Type: application/x-www-form-urlencoded"},
  };
  for (const auto& header : defaults) {
    if (FindText(block, header.marker) != -1) continue;
    block = block.empty() ? header.line
                          : ConcatText(block, kLineBreak, header.line);
  }
}

void SetHeaderLines(RequestObject& object, const Text& block) {
  if (FindText(block, kLineBreak) == -1) {
    object.SetRequestHeader(HeaderName(block), HeaderValue(block));
    return;
  }
  for (const Text& line : SplitText(block, kLineBreak)) {
    if (line.empty()) continue;
    object.SetRequestHeader(HeaderName(line), HeaderValue(line));
  }
}

}  // namespace

Bytes HttpRequest(const Text& url, const HttpRequestArguments& arguments) {
  const HttpRequestArguments& a = arguments;
  const char* method = MethodName(a.method);
  std::shared_ptr<RequestObject> object =
      a.requestObject ? a.requestObject : MakeRequestObject();
  if (!object) return {};

  Text scratchCookies, scratchReturnedCookies, scratchHeaders,
      scratchReturnedHeaders;
  int scratchStatus = 0;
  Text& cookies = a.cookies ? *a.cookies : scratchCookies;
  Text& returnedCookies =
      a.returnedCookies ? *a.returnedCookies : scratchReturnedCookies;
  Text& headers = a.headers ? *a.headers : scratchHeaders;
  Text& returnedHeaders =
      a.returnedHeaders ? *a.returnedHeaders : scratchReturnedHeaders;
  int& returnedStatus = a.returnedStatus ? *a.returnedStatus : scratchStatus;

  if (a.timeoutSeconds != -1) {
    const int ms = TimeoutMs(a.timeoutSeconds);
    object->SetTimeouts(ms, ms, ms, ms);
  }
  if (!a.proxyAddress.empty()) {
    object->SetProxy(kProxyNamed, a.proxyAddress);
    if (!a.proxyUser.empty()) {
      object->SetCredentials(
          a.proxyUser, a.proxyPassword,
          a.proxyCredentialsFlag.value_or(kCredentialsForProxy));
    }
  }
  object->Open(method, url, false);
  if (a.noRedirect) object->Option(kOptionEnableRedirects, 0);
  // Certificate errors are not ignored: option 4 stays as the object has it.

  CompleteHeaderBlock(headers, url);
  if (!cookies.empty()) object->SetRequestHeader("Cookie", cookies);
  SetHeaderLines(*object, headers);

  if (!a.postBytes.empty()) {
    object->Send(a.postBytes);
  } else {
    object->Send(a.postData);
  }

  Bytes body = object->ResponseBody();
  returnedHeaders = object->GetAllResponseHeaders();
  returnedStatus = object->Status();
  returnedCookies = CollectSetCookies(returnedHeaders);
  (void)MergeCookies(cookies, returnedCookies);
  return body;
}

Text HeaderName(std::string_view line) {
  const int colon = FindText(line, ":");
  return colon == -1 ? Text() : TrimBothEnds(TextLeft(line, colon - 1));
}

Text HeaderValue(std::string_view line) {
  const int colon = FindText(line, ":");
  return colon == -1 ? Text()
                     : TrimBothEnds(line.substr(static_cast<size_t>(colon)));
}

RequestObjectFactory SetRequestObjectFactory(RequestObjectFactory factory) {
  return std::exchange(Factory(), std::move(factory));
}
