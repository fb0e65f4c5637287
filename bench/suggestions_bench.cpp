// Time from the call of ShowSuggestions to its return, listing 20,000 terms in
// the result box of the real, shown window. Needs an X display (DISPLAY, e.g.
// Xvfb). With the event hook installed, as the program does at start-up, the
// extraction dispatches window events three times per term.
#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/main_window.h"
#include "app/suggestions.h"
#include "app/toolkit.h"
#include "text/between.h"

namespace {

MainWindow* window = nullptr;

// ["term","score"] arrays as the service sends them; terms of six two-byte
// GBK characters and a number.
Text Reply(int terms) {
  Text reply = "jsonp1199({\"result\":[";
  for (int n = 0; n < terms; ++n) {
    if (n > 0) reply += ",";
    reply += "[\"";
    for (int i = 0; i < 6; ++i) {
      reply.push_back(static_cast<char>(0xB0 + (n + i) % 0x48));
      reply.push_back(static_cast<char>(0xA1 + (n * 7 + i) % 0x5E));
    }
    reply += std::to_string(n) + "\",\"" + std::to_string(n % 97) + "\"]";
  }
  return reply + "]})";
}

void BM_ShowSuggestions(benchmark::State& state) {
  const int terms = static_cast<int>(state.range(0));
  const bool dispatch = state.range(1) != 0;
  const Text reply = Reply(terms);
  SetProcessEventsHook(dispatch ? &ProcessEvents : nullptr);
  for (auto _ : state) {
    // The box still holds the previous call's terms, as on a second search.
    ShowSuggestions(*window, reply);
  }
  SetProcessEventsHook(nullptr);
  state.counters["terms"] = terms;
  if (GetControlText(*window->编辑框2).size() < reply.size() / 2) {
    state.SkipWithError("the terms were not listed");
  }
}
BENCHMARK(BM_ShowSuggestions)
    ->ArgNames({"terms", "dispatch"})
    ->Args({20000, 1})
    ->Args({20000, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    std::fprintf(stderr, "suggestions_bench needs an X display (DISPLAY)\n");
    return 1;
  }
  wxApp::SetInstance(new ToolkitApp);
  if (!wxEntryStart(argc, argv)) return 1;
  wxTheApp->SetExitOnFrameDelete(false);
  int result = 0;
  {
    // The program runs its commands inside the main loop: make one active so
    // that ProcessEvents dispatches as it does there.
    wxEventLoop loop;
    wxEventLoopActivator active(&loop);
    window = new MainWindow;
    if (window->Create()) {
      OnWindowCreated(*window);
      window->Show();
      ProcessEvents();
      benchmark::RunSpecifiedBenchmarks();
    } else {
      result = 1;
    }
    window->Destroy();
    wxTheApp->ProcessPendingEvents();
  }
  benchmark::Shutdown();
  wxEntryCleanup();
  return result;
}
