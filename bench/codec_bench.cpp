// Throughput of the percent codec and the code page conversion under it, on
// the sizes a search meets at worst: an 8 MiB escaped UTF-8 reply to decode
// and a 1 MiB GBK text to encode. Prints MB/s of input.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>

#include "text/codepage.h"
#include "text/percent.h"

namespace {

// Chinese terms in GBK (GB2312 hanzi, lead B0-D7, trail A1-FE).
Text GbkTerm(std::mt19937& random) {
  std::uniform_int_distribution<int> lead(0xB0, 0xD7), trail(0xA1, 0xFE);
  std::uniform_int_distribution<int> length(2, 8);
  Text term;
  for (int n = length(random); n > 0; --n) {
    term += static_cast<char>(lead(random));
    term += static_cast<char>(trail(random));
  }
  return term;
}

// A suggestion reply in UTF-8, about 5% of its source bytes percent-escaped,
// cut to `size` bytes.
Text EscapedReply(std::size_t size) {
  std::mt19937 random(65001);
  Text gbk = "jsonp123({\"result\":[";
  while (gbk.size() < size) {
    gbk += "[\"" + GbkTerm(random) + "\",\"" +
           std::to_string(random() % 99999) + "\"],";
  }
  gbk += "]})";
  const Text utf8 = AnsiToUtf8(gbk);
  std::bernoulli_distribution escaped(0.05);
  Text reply;
  reply.reserve(size + 16);
  for (const char c : utf8) {
    if (reply.size() >= size) break;
    if (escaped(random)) {
      const auto b = static_cast<unsigned char>(c);
      reply += '%';
      reply += HexDigitTable[b >> 4];
      reply += HexDigitTable[b & 0xF];
    } else {
      reply += c;
    }
  }
  return reply;
}

Text GbkText(std::size_t size) {
  std::mt19937 random(936);
  Text text;
  while (text.size() < size) text += GbkTerm(random) + " 2024 ";
  text.resize(size);
  return text;
}

const Text& Reply() {
  static const Text reply = EscapedReply(8u << 20);
  return reply;
}

void BM_UrlDecodeUtf8Reply(benchmark::State& state) {
  const Text& reply = Reply();
  for (auto _ : state) benchmark::DoNotOptimize(UrlDecode(reply, true));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(reply.size()));
}
BENCHMARK(BM_UrlDecodeUtf8Reply)->Unit(benchmark::kMillisecond);

// The decoding alone and the conversion alone, to show where time goes.
void BM_UrlDecodeReplyBytes(benchmark::State& state) {
  const Text& reply = Reply();
  for (auto _ : state) benchmark::DoNotOptimize(UrlDecode(reply));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(reply.size()));
}
BENCHMARK(BM_UrlDecodeReplyBytes)->Unit(benchmark::kMillisecond);

void BM_Utf8ToAnsiReply(benchmark::State& state) {
  const Text decoded = UrlDecode(Reply());
  for (auto _ : state) benchmark::DoNotOptimize(Utf8ToAnsi(decoded));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(decoded.size()));
}
BENCHMARK(BM_Utf8ToAnsiReply)->Unit(benchmark::kMillisecond);

// As the search encodes its keyword: through UTF-8, every byte escaped.
void BM_UrlEncodeGbkUtf8(benchmark::State& state) {
  const Text text = GbkText(1u << 20);
  for (auto _ : state) benchmark::DoNotOptimize(UrlEncode(text, false, true));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_UrlEncodeGbkUtf8)->Unit(benchmark::kMillisecond);

void BM_AnsiToUtf8Text(benchmark::State& state) {
  const Text text = GbkText(1u << 20);
  for (auto _ : state) benchmark::DoNotOptimize(AnsiToUtf8(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_AnsiToUtf8Text)->Unit(benchmark::kMillisecond);

void BM_UrlEncodeGbkKeepUnreserved(benchmark::State& state) {
  const Text text = GbkText(1u << 20);
  for (auto _ : state) benchmark::DoNotOptimize(UrlEncode(text, true));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_UrlEncodeGbkKeepUnreserved)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
