// Cutting out the texts that stand between a left and a right marker.
// Positions are 1-based byte positions; markers are found at character starts.
#pragma once

#include <string_view>

#include "text/text.h"

// "#引号" in GBK: stands for a double quote in the markers of TextBetween.
inline constexpr std::string_view QuotePlaceholder = "#\xD2\xFD\xBA\xC5";

// The text strictly between the first `left` at or after `start` and the
// first `right` after it, untrimmed; empty when either is missing.
[[nodiscard]] Text TextBetween(std::string_view source, std::string_view left,
                               std::string_view right, int start = 0,
                               bool ignoreCase = false);

struct BetweenOptions {
  bool caseSensitive = false;
  int maxLength = 0;  // when not 0, only pieces shorter than this
  Text prefix{};  // {} lets callers leave it out of designated initializers
  Text suffix{};
  bool includeLeft = false;
  bool includeRight = false;
  int start = 0;
};

// Empties `items`, then appends every trimmed, non-empty piece between the
// markers; returns the number of items. Dispatches waiting window events
// through the installed hook while it works. Empty markers give 0 items.
int AllTextsBetween(std::string_view source, std::string_view left,
                    std::string_view right, TextList& items,
                    const BetweenOptions& options = {});

// The application installs its event dispatcher here at start-up; without
// one, AllTextsBetween dispatches nothing.
using ProcessEventsHook = void (*)();
void SetProcessEventsHook(ProcessEventsHook hook);
