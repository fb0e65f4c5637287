// Setting up libcurl for one exchange of the request object: the process's
// shared caches, the request headers, the method and body, and the
// connection options (timeouts, certificates, proxy, credentials).
#pragma once

#include <curl/curl.h>

#include "http/request_object.h"
#include "http/request_object_transfer.h"

// The connection, DNS and TLS session caches of the whole process; null
// when libcurl could not make them, and then every exchange opens its own
// connection. The first call initialises libcurl.
CURLSH* SharedCache();

// Our headers in order, plus "Name:" entries that keep libcurl from adding
// its own Accept, Content-Type and Expect headers. `ok` false when memory
// ran out.
[[nodiscard]] CurlSlist HeaderList(const TransferRequest& request, bool& ok);

// HEAD sends no body; GET sends one only when it is not empty; every other
// method always sends its body, possibly empty.
void SetMethodAndBody(CURL* easy, const TransferRequest& request);

void SetConnection(CURL* easy, const RequestSettings& settings);
