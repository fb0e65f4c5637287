// Throughput of AllTextsBetween taking the terms out of a suggestion reply of
// about 8 MiB that holds 200,000 arrays, as the suggestion list does: markers
// ["  and  ","  with no further argument and no event hook installed.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "text/between.h"

namespace {

constexpr int kTerms = 200000;

// Each array is ["term","score"], 42 bytes: a term of eight two-byte GBK
// characters and four digits, then a score.
const Text& Reply() {
  static const Text reply = [] {
    Text r = "jsonp1199({\"result\":[";
    r.reserve(std::size_t{kTerms} * 42 + 64);
    for (int n = 0; n < kTerms; ++n) {
      r += "[\"";
      for (int i = 0; i < 8; ++i) {
        r.push_back(static_cast<char>(0xB0 + (n + i) % 0x48));
        r.push_back(static_cast<char>(0xA1 + (n * 7 + i) % 0x5E));
      }
      r += std::to_string(1000 + n % 9000);
      r += "\",\"";
      r += std::to_string(10000 + n % 90000);
      r += ".123456789\"]";
      r += n + 1 < kTerms ? "," : "]})";
    }
    return r;
  }();
  return reply;
}

void BM_AllTextsBetweenSuggestions(benchmark::State& state) {
  const Text& reply = Reply();
  TextList items;
  for (auto _ : state) {
    if (AllTextsBetween(reply, "[\"", "\",\"", items) != kTerms) {
      state.SkipWithError("wrong number of terms");
      break;
    }
    benchmark::DoNotOptimize(items.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) *
                          std::int64_t(reply.size()));
}
BENCHMARK(BM_AllTextsBetweenSuggestions)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
