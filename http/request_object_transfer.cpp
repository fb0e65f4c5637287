#include "http/request_object_transfer.h"

#include <chrono>
#include <cstdint>
#include <string>

#include "http/request_object_setup.h"

namespace {

using Clock = std::chrono::steady_clock;

// How often the transfer loop wakes to look at the phase clocks; a stall
// therefore ends at most this much after its timeout.
constexpr int kPollIntervalMs = 100;

// What the callbacks gather while libcurl runs the exchange.
struct TransferState {
  CURL* easy = nullptr;
  Clock::time_point lastActivity = Clock::now();
  curl_off_t uploaded = 0;
  bool inHeaderBlock = false;
  std::vector<Text> headerLines;
  Bytes body;
  bool bodyTooLarge = false;
};

size_t OnHeader(char* data, size_t size, size_t count, void* userdata) {
  auto& state = *static_cast<TransferState*>(userdata);
  state.lastActivity = Clock::now();
  std::string_view line(data, size * count);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
    line.remove_suffix(1);
  }
  if (line.starts_with("HTTP/")) {
    // Each response (redirects, 1xx) starts afresh: only the last counts.
    state.headerLines.clear();
    state.inHeaderBlock = true;
  } else if (line.empty()) {
    state.inHeaderBlock = false;
  } else if (state.inHeaderBlock) {
    Text text(line);
    std::erase(text, '\0');
    state.headerLines.push_back(std::move(text));
  }
  return size * count;
}

size_t OnBody(char* data, size_t size, size_t count, void* userdata) {
  auto& state = *static_cast<TransferState*>(userdata);
  state.lastActivity = Clock::now();
  const size_t bytes = size * count;
  if (static_cast<long long>(state.body.size() + bytes) >
      kMaxResponseBodyBytes) {
    state.bodyTooLarge = true;
    return 0;  // libcurl ends the transfer with a write error
  }
  if (state.body.empty()) {
    // An announced length within the limit is allocated once.
    curl_off_t announced = -1;
    curl_easy_getinfo(state.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T,
                      &announced);
    if (announced > 0 && announced <= kMaxResponseBodyBytes) {
      state.body.reserve(static_cast<size_t>(announced));
    }
  }
  const auto* first = reinterpret_cast<const std::uint8_t*>(data);
  state.body.insert(state.body.end(), first, first + bytes);
  return bytes;
}

int OnProgress(void* userdata, curl_off_t, curl_off_t, curl_off_t,
               curl_off_t uploaded) {
  auto& state = *static_cast<TransferState*>(userdata);
  if (uploaded != state.uploaded) {
    state.uploaded = uploaded;
    state.lastActivity = Clock::now();
  }
  return 0;
}

// Runs the exchange on `easy` and returns libcurl's result; when our own
// send/receive clock runs out first, a timeout with `stallError` set.
CURLcode RunTransfer(CURL* easy, const RequestTimeouts& timeouts,
                     TransferState& state, long long bodySize,
                     Text& stallError) {
  CurlMulti multi(curl_multi_init());
  if (!multi) return CURLE_OUT_OF_MEMORY;
  if (curl_multi_add_handle(multi.get(), easy) != CURLM_OK) {
    return CURLE_FAILED_INIT;
  }
  CURLcode result = CURLE_OK;
  bool connected = false;
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
      result = CURLE_FAILED_INIT;
      break;
    }
    if (running == 0) {
      int queued = 0;
      while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
        if (message->msg == CURLMSG_DONE) result = message->data.result;
      }
      break;
    }
    const auto now = Clock::now();
    if (!connected) {
      // Until the request starts going out, libcurl's connect timeout rules.
      curl_off_t pretransfer = 0;
      curl_easy_getinfo(easy, CURLINFO_PRETRANSFER_TIME_T, &pretransfer);
      if (pretransfer > 0) {
        connected = true;
        state.lastActivity = now;
      }
    }
    if (connected) {
      const bool sending = state.uploaded < bodySize;
      const int limitMs = sending ? timeouts.sendMs : timeouts.receiveMs;
      const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(
          now - state.lastActivity);
      if (limitMs > 0 && idle.count() >= limitMs) {
        stallError = Text("no byte ") + (sending ? "sent" : "received") +
                     " for " + std::to_string(limitMs) + " ms";
        result = CURLE_OPERATION_TIMEDOUT;
        break;
      }
    }
    curl_multi_poll(multi.get(), nullptr, 0, kPollIntervalMs, nullptr);
  }
  // Removing an unfinished transfer closes its connection.
  curl_multi_remove_handle(multi.get(), easy);
  return result;
}

TransferResult PerformOn(CURL* handle, const TransferRequest& request,
                         const RequestSettings& settings) {
  TransferResult out;
  bool listOk = false;
  const CurlSlist headerList = HeaderList(request, listOk);
  if (!listOk) {
    out.error = "out of memory for the request headers";
    return out;
  }
  char errorBuffer[CURL_ERROR_SIZE] = {};
  TransferState state;
  state.easy = handle;
  curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorBuffer);
  curl_easy_setopt(handle, CURLOPT_URL, request.url.c_str());
  SetConnection(handle, settings);
  SetMethodAndBody(handle, request);
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headerList.get());
  curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(handle, CURLOPT_HEADERDATA, &state);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &state);
  curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &state);
  curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);

  Text stallError;
  const CURLcode code = RunTransfer(handle, settings.timeouts, state,
                                    request.bodySize, stallError);
  if (code != CURLE_OK || state.bodyTooLarge) {
    if (state.bodyTooLarge || code == CURLE_FILESIZE_EXCEEDED) {
      out.error = "response body larger than the limit";
    } else if (!stallError.empty()) {
      out.error = "timed out: " + stallError;
    } else {
      out.error = Text(curl_easy_strerror(code)) +
                  (errorBuffer[0] != '\0' ? Text(": ") + errorBuffer : Text());
    }
    return out;
  }
  long status = 0;
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
  out.ok = true;
  out.status = static_cast<int>(status);
  for (const Text& line : state.headerLines) {
    if (!out.headers.empty()) out.headers += "\r\n";
    out.headers += line;
  }
  out.body = std::move(state.body);
  return out;
}

}  // namespace

TransferResult TransferEngine::Perform(const TransferRequest& request,
                                       const RequestSettings& settings) {
  curl_easy_reset(easy.get());
  TransferResult result = PerformOn(easy.get(), request, settings);
  // Drop the pointers into this call's buffers and header list.
  curl_easy_reset(easy.get());
  return result;
}

std::unique_ptr<TransferEngine> TransferEngine::Make() {
  SharedCache();  // initialises libcurl before the first handle
  CurlEasy easy(curl_easy_init());
  if (!easy) return nullptr;
  auto engine = std::make_unique<TransferEngine>();
  engine->easy = std::move(easy);
  return engine;
}
