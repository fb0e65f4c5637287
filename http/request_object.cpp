#include "http/request_object.h"

#include <algorithm>
#include <string_view>

#include "http/request_object_transfer.h"

namespace {

// A CR or LF inside a header would end the header line early and let the
// rest pass as a header line of its own.
Text WithoutLineBreaks(Text text) {
  std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
  return text;
}

bool IsMethodToken(std::string_view method) {
  constexpr std::string_view kSpecials = "!#$%&'*+-.^_`|~";
  return !method.empty() && std::ranges::all_of(method, [&](char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
           (c >= 'a' && c <= 'z') || kSpecials.find(c) != kSpecials.npos;
  });
}

bool IsHttpUrl(std::string_view url) {
  auto startsWithIgnoringCase = [&](std::string_view prefix) {
    return url.size() > prefix.size() &&
           std::ranges::equal(url.substr(0, prefix.size()), prefix,
                              [](char a, char b) {
                                return (a >= 'A' && a <= 'Z' ? a + 32 : a) == b;
                              });
  };
  return startsWithIgnoringCase("http://") ||
         startsWithIgnoringCase("https://");
}

}  // namespace

std::shared_ptr<RequestObject> RequestObject::Create() {
  std::unique_ptr<TransferEngine> engine = TransferEngine::Make();
  if (!engine) return nullptr;
  return std::shared_ptr<RequestObject>(new RequestObject(std::move(engine)));
}

RequestObject::RequestObject(std::unique_ptr<TransferEngine> engine)
    : engine_(std::move(engine)) {}

RequestObject::~RequestObject() = default;

void RequestObject::Fail(Text what) { lastError_ = std::move(what); }

void RequestObject::SetTimeouts(int resolveMs, int connectMs, int sendMs,
                                int receiveMs) {
  settings_.timeouts = {resolveMs, connectMs, sendMs, receiveMs};
}

void RequestObject::SetProxy(int setting, const Text& proxy) {
  if (setting == 0 || setting == kProxyDirect) {
    settings_.proxy.clear();
  } else if (setting != kProxyNamed) {
    Fail("SetProxy: unknown setting " + std::to_string(setting));
  } else if (proxy.empty()) {
    Fail("SetProxy: no proxy server named");
  } else {
    settings_.proxy = proxy;
  }
}

void RequestObject::SetCredentials(const Text& user, const Text& password,
                                   int flag) {
  if (flag == kCredentialsForServer) {
    settings_.serverCredentials = Credentials{user, password};
  } else if (flag == kCredentialsForProxy) {
    settings_.proxyCredentials = Credentials{user, password};
  } else {
    Fail("SetCredentials: unknown target " + std::to_string(flag));
  }
}

void RequestObject::Open(const Text& method, const Text& url, bool async) {
  opened_ = false;
  headers_.clear();
  responded_ = false;
  status_ = 0;
  responseHeaders_.clear();
  responseBody_.clear();
  if (async) {
    Fail("Open: only synchronous requests are supported");
  } else if (!IsMethodToken(method)) {
    Fail("Open: invalid method \"" + method + "\"");
  } else if (!IsHttpUrl(url)) {
    Fail("Open: not an http or https URL: " + url);
  } else {
    opened_ = true;
    method_ = method;
    url_ = url;
  }
}

void RequestObject::Option(int index, int value) {
  if (index == kOptionIgnoreCertificateErrors) {
    settings_.ignoredCertificateErrors = value;
  } else if (index == kOptionEnableRedirects) {
    settings_.followRedirects = value != 0;
  } else {
    Fail("Option: unsupported index " + std::to_string(index));
  }
}

void RequestObject::SetRequestHeader(const Text& name, const Text& value) {
  if (!opened_) {
    Fail("SetRequestHeader: the request is not open");
    return;
  }
  Text cleanName = WithoutLineBreaks(name);
  if (cleanName.empty()) {
    Fail("SetRequestHeader: empty header name");
    return;
  }
  headers_.emplace_back(std::move(cleanName), WithoutLineBreaks(value));
}

void RequestObject::Send(const Text& body) {
  Perform(body.data(), static_cast<long long>(body.size()));
}

void RequestObject::Send(const Bytes& body) {
  Perform(reinterpret_cast<const char*>(body.data()),
          static_cast<long long>(body.size()));
}

void RequestObject::Perform(const char* body, long long size) {
  responded_ = false;
  status_ = 0;
  responseHeaders_.clear();
  responseBody_.clear();
  if (!opened_) {
    Fail("Send: the request is not open");
    return;
  }
  const TransferRequest request{method_, url_, headers_, body, size};
  TransferResult result = engine_->Perform(request, settings_);
  if (!result.ok) {
    Fail("Send: " + result.error);
    return;
  }
  responded_ = true;
  status_ = result.status;
  responseHeaders_ = std::move(result.headers);
  responseBody_ = std::move(result.body);
}

Bytes RequestObject::ResponseBody() const {
  return responded_ ? responseBody_ : Bytes();
}

Text RequestObject::GetAllResponseHeaders() const {
  return responded_ ? responseHeaders_ : Text();
}

int RequestObject::Status() const { return responded_ ? status_ : 0; }

void RequestObject::SetCertificateAuthorityFile(const Text& path) {
  settings_.certificateAuthorityFile = path;
}
