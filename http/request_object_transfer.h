// One HTTP exchange through libcurl, for the request object: the process's
// shared connection cache, the phase timeouts, the response body cap, and
// the response headers of the final response. Failures come back as a
// result with `ok` false and a message; nothing throws.
#pragma once

#include <curl/curl.h>

#include <memory>
#include <vector>

#include "http/request_object.h"
#include "text/text.h"

struct CurlEasyFree {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyFree>;

struct CurlMultiFree {
  void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
};
using CurlMulti = std::unique_ptr<CURLM, CurlMultiFree>;

struct CurlSlistFree {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlSlist = std::unique_ptr<curl_slist, CurlSlistFree>;

struct CurlShareFree {
  void operator()(CURLSH* handle) const { curl_share_cleanup(handle); }
};
using CurlShare = std::unique_ptr<CURLSH, CurlShareFree>;

struct TransferRequest {
  Text method;
  Text url;
  std::vector<std::pair<Text, Text>> headers;  // names never empty
  const char* body = nullptr;                  // may hold zero bytes
  long long bodySize = 0;
};

struct TransferResult {
  bool ok = false;
  Text error;
  int status = 0;
  Text headers;  // final response, lines joined by CR LF
  Bytes body;
};

struct TransferEngine {
  // Null when libcurl cannot make a handle.
  [[nodiscard]] static std::unique_ptr<TransferEngine> Make();
  [[nodiscard]] TransferResult Perform(const TransferRequest& request,
                                       const RequestSettings& settings);

  CurlEasy easy;
};
