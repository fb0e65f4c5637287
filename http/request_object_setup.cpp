#include "http/request_object_setup.h"

#include <algorithm>
#include <array>
#include <climits>
#include <mutex>
#include <string_view>

namespace {

constexpr long kMaxRedirects = 10;

struct ShareLocks {
  std::array<std::mutex, CURL_LOCK_DATA_LAST> mutexes;
};

void LockShare(CURL*, curl_lock_data data, curl_lock_access, void* locks) {
  static_cast<ShareLocks*>(locks)->mutexes[data].lock();
}

void UnlockShare(CURL*, curl_lock_data data, void* locks) {
  static_cast<ShareLocks*>(locks)->mutexes[data].unlock();
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    auto lower = [](char c) {
      return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    };
    return lower(x) == lower(y);
  });
}

bool HasHeader(const TransferRequest& request, std::string_view name) {
  return std::ranges::any_of(request.headers, [&](const auto& header) {
    return EqualsIgnoringCase(header.first, name);
  });
}

long ConnectBudgetMs(const RequestTimeouts& timeouts) {
  // libcurl times name resolution, connection and TLS handshake as one
  // phase, so they share the larger of the two limited budgets.
  const int budget = std::max(timeouts.resolveMs, timeouts.connectMs);
  return budget > 0 ? budget : INT_MAX;
}

}  // namespace

CURLSH* SharedCache() {
  static ShareLocks locks;
  static CurlShare share = [] {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    CurlShare made(curl_share_init());
    if (made) {
      curl_share_setopt(made.get(), CURLSHOPT_LOCKFUNC, LockShare);
      curl_share_setopt(made.get(), CURLSHOPT_UNLOCKFUNC, UnlockShare);
      curl_share_setopt(made.get(), CURLSHOPT_USERDATA, &locks);
      curl_share_setopt(made.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
      curl_share_setopt(made.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
      curl_share_setopt(made.get(), CURLSHOPT_SHARE,
                        CURL_LOCK_DATA_SSL_SESSION);
    }
    return made;
  }();
  return share.get();
}

CurlSlist HeaderList(const TransferRequest& request, bool& ok) {
  ok = true;
  curl_slist* list = nullptr;
  auto append = [&](const Text& line) {
    curl_slist* grown = curl_slist_append(list, line.c_str());
    if (grown == nullptr) {
      ok = false;
    } else {
      list = grown;
    }
  };
  for (const auto& [name, value] : request.headers) {
    // libcurl sends "Name;" as a header with an empty value.
    append(value.empty() ? name + ";" : name + ": " + value);
  }
  for (const char* builtIn : {"Accept", "Content-Type", "Expect"}) {
    if (!HasHeader(request, builtIn)) append(Text(builtIn) + ":");
  }
  return CurlSlist(list);
}

void SetMethodAndBody(CURL* easy, const TransferRequest& request) {
  const bool head = request.method == "HEAD";
  const bool sendsBody =
      !head && (request.bodySize > 0 || request.method != "GET");
  if (head) {
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
  } else if (sendsBody) {
    curl_easy_setopt(easy, CURLOPT_POST, 1L);
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(request.bodySize));
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS,
                     request.body != nullptr ? request.body : "");
  } else {
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  }
  if (!head && request.method != (sendsBody ? "POST" : "GET")) {
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.method.c_str());
  }
}

void SetConnection(CURL* easy, const RequestSettings& settings) {
  curl_easy_setopt(easy, CURLOPT_SHARE, SharedCache());
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  // HTTP/1.1 keeps header names and their order exactly as set.
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION,
                   settings.followRedirects ? 1L : 0L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                   ConnectBudgetMs(settings.timeouts));
  // A name lookup still running when the budget ends is left to finish on
  // its own thread instead of being waited for, so that a name server that
  // never answers cannot hold the window past the timeout.
  curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE,
                   static_cast<curl_off_t>(kMaxResponseBodyBytes));

  const int ignored = settings.ignoredCertificateErrors;
  const bool chainChecked =
      (ignored &
       (kIgnoreUnknownAuthority | kIgnoreWrongUsage | kIgnoreInvalidDate)) == 0;
  const bool nameChecked = (ignored & kIgnoreInvalidCommonName) == 0;
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, chainChecked ? 1L : 0L);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, nameChecked ? 2L : 0L);
  if (!settings.certificateAuthorityFile.empty()) {
    curl_easy_setopt(easy, CURLOPT_CAINFO,
                     settings.certificateAuthorityFile.c_str());
  }

  // An empty proxy also keeps libcurl from taking one from the environment.
  const Text proxy =
      settings.proxy.empty() ? Text() : "http://" + settings.proxy;
  curl_easy_setopt(easy, CURLOPT_PROXY, proxy.c_str());
  // An empty list replaces no_proxy from the environment: a proxy that the
  // caller names is used for every host.
  curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
  curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  if (settings.proxyCredentials) {
    curl_easy_setopt(easy, CURLOPT_PROXYAUTH, CURLAUTH_BASIC);
    curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME,
                     settings.proxyCredentials->user.c_str());
    curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD,
                     settings.proxyCredentials->password.c_str());
  }
  if (settings.serverCredentials) {
    curl_easy_setopt(easy, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
    curl_easy_setopt(easy, CURLOPT_USERNAME,
                     settings.serverCredentials->user.c_str());
    curl_easy_setopt(easy, CURLOPT_PASSWORD,
                     settings.serverCredentials->password.c_str());
  }
}
