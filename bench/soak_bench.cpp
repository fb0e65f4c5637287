// Soak: 1,000 searches in one process, each as the search command makes it
// (keyword escaped as UTF-8, HttpRequest with the search's header block, the
// reply decoded and its terms taken out), against an HTTPS server on
// 127.0.0.1 that runs in a child process so that its own bookkeeping stays
// out of the figures. Prints the resident memory (KiB) and the open file
// descriptors after the first 10 searches and after all 1,000, and exits
// non-zero when descriptors grew at all or memory grew by more than
// kRssSlackKib (not judged under AddressSanitizer, whose quarantine holds
// freed memory; LeakSanitizer judges leaks at exit there). Under valgrind,
// pass --freelist-vol=0 so that freed blocks are reused as they are here.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/suggestion_service.h"
#include "http/request.h"
#include "http/request_test_support.h"
#include "testing/https_server.h"
#include "testing/test_certificates.h"
#include "text/between.h"
#include "text/percent.h"

#if defined(__SANITIZE_ADDRESS__)
#define FINDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FINDER_ASAN 1
#endif
#endif

namespace {

constexpr int kSearches = 1000;
constexpr int kWarmUp = 10;
// Allocator noise; a leak of 600 bytes a search already exceeds it.
constexpr long kRssSlackKib = 512;

bool grew = false;

long ResidentKib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// The iterator's own descriptor is counted every time, so it cancels out.
long OpenDescriptors() {
  long count = 0;
  for ([[maybe_unused]] const auto& entry :
       std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

// A suggestion reply as the service sends it: JSONP in UTF-8 with the
// length of the escaped keyword echoed, three terms, and two cookies.
void AnswerSuggestions(const ReceivedRequest& request,
                       ServerConnection& connection) {
  // The path's escapes would take the quotes after them: echo its length.
  const std::string body =
      "jsonp1199({\"result\":[[\"\xE4\xB8\xAD\xE6\x96\x87%E4%B8%AD\",\"1\"],"
      "[\"term two\",\"2\"],[\"path of " +
      std::to_string(request.Path().size()) + " bytes\",\"3\"]]})";
  connection.Write(
      HttpResponse(200,
                   {"Content-Type: text/html; charset=UTF-8",
                    "Set-Cookie: cna=abc; Path=/; Domain=127.0.0.1",
                    "set-cookie: t=deleted; Max-Age=0"},
                   body));
}

// Serves until the parent closes `commands`; writes the port to `reply`.
[[noreturn]] void RunServer(int commands, int reply) {
  {
    TestServer server(AnswerSuggestions,
                      {.tls = &SharedTestCertificates().loopback});
    const int port = server.Port();
    if (write(reply, &port, sizeof port) != sizeof port) _exit(2);
    char ignored;
    while (read(commands, &ignored, 1) > 0) {
    }
  }
  _exit(0);
}

int Search(const std::string& base, const Text& keyword) {
  Text headers(SearchHeaderBlock);
  const Text url =
      ConcatText(base, kSuggestionUrlHead, UrlEncode(keyword, false, true),
                 kSuggestionUrlTail);
  const Bytes body = HttpRequest(url, {.method = 0, .headers = &headers});
  const Text reply = UrlDecode(ToText(body), true);
  TextList terms;
  return AllTextsBetween(reply, kTermLeftMarker, kTermRightMarker, terms);
}

void BM_SoakSearches(benchmark::State& state) {
  (void)SharedTestCertificates();  // made before the fork, removed at exit
  int toServer[2], fromServer[2];
  if (pipe(toServer) != 0 || pipe(fromServer) != 0) {
    state.SkipWithError("pipe");
    return;
  }
  const pid_t child = fork();
  if (child == 0) {
    close(toServer[1]);
    close(fromServer[0]);
    RunServer(toServer[0], fromServer[1]);
  }
  close(toServer[0]);
  close(fromServer[1]);
  int port = 0;
  if (child < 0 || read(fromServer[0], &port, sizeof port) != sizeof port) {
    state.SkipWithError("server did not start");
    return;
  }
  close(fromServer[0]);
  const std::string base = "https://127.0.0.1:" + std::to_string(port);
  // Certificates are checked: the objects trust the test authority.
  const ScopedRequestObjectFactory trusting;
  const Text keywords[] = {"\xD6\xD0\xCE\xC4", "abc", "a b%c", "\xA1\xA1x"};

  long rssAfterWarmUp = 0, fdsAfterWarmUp = 0, failed = 0;
  for (auto _ : state) {
    for (int i = 1; i <= kSearches; ++i) {
      if (Search(base, ConcatText(keywords[i % 4], std::to_string(i))) != 3)
        ++failed;
      if (i == kWarmUp) {
        rssAfterWarmUp = ResidentKib();
        fdsAfterWarmUp = OpenDescriptors();
      }
    }
  }
  const long rss = ResidentKib(), fds = OpenDescriptors();
  close(toServer[1]);
  waitpid(child, nullptr, 0);

  std::printf(
      "after %d searches: RSS %ld KiB, %ld open descriptors\n"
      "after %d searches: RSS %ld KiB, %ld open descriptors\n"
      "growth: RSS %+ld KiB, descriptors %+ld; failed searches: %ld\n",
      kWarmUp, rssAfterWarmUp, fdsAfterWarmUp, kSearches, rss, fds,
      rss - rssAfterWarmUp, fds - fdsAfterWarmUp, failed);
  state.counters["rss_kib_10"] = double(rssAfterWarmUp);
  state.counters["rss_kib_1000"] = double(rss);
  state.counters["fds_10"] = double(fdsAfterWarmUp);
  state.counters["fds_1000"] = double(fds);
  state.counters["searches_per_s"] =
      benchmark::Counter(kSearches, benchmark::Counter::kIsRate);

  bool rssGrew = rss - rssAfterWarmUp > kRssSlackKib;
#ifdef FINDER_ASAN
  rssGrew = false;
#endif
  if (failed > 0) {
    grew = true;
    state.SkipWithError("searches failed");
  } else if (fds != fdsAfterWarmUp || rssGrew) {
    grew = true;
    state.SkipWithError("memory or descriptors grew");
  }
}
BENCHMARK(BM_SoakSearches)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return grew ? 1 : 0;
}
