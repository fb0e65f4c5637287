#include "text/between.h"

#include <string_view>
#include <utility>

#include "text/find.h"
#include "text/text.h"

namespace {

ProcessEventsHook processEventsHook = nullptr;

void ProcessEvents() {
  // Read the hook at every call: a handler run from it may install another.
  if (processEventsHook != nullptr) processEventsHook();
}

// The bytes from 1-based position `first` up to, not including, `end`. The
// callers pass positions that FindText returned, so both lie in `text`.
std::string_view Span(std::string_view text, int first, int end) {
  return text.substr(static_cast<std::size_t>(first - 1),
                     static_cast<std::size_t>(end - first));
}

}  // namespace

void SetProcessEventsHook(ProcessEventsHook hook) { processEventsHook = hook; }

Text TextBetween(std::string_view source, std::string_view left,
                 std::string_view right, int start, bool ignoreCase) {
  const Text leftMarker = ReplaceSubtext(left, QuotePlaceholder, "\"", true);
  const Text rightMarker = ReplaceSubtext(right, QuotePlaceholder, "\"", true);
  int p1 = FindText(source, leftMarker, start, ignoreCase);
  if (p1 == -1) return {};
  p1 += TextLength(leftMarker);
  const int p2 = FindText(source, rightMarker, p1, ignoreCase);
  if (p2 == -1) return {};
  // An empty right marker is "found" at 1, before p1: TextMid gives empty.
  return TextMid(source, p1, p2 - p1);
}

int AllTextsBetween(std::string_view source, std::string_view left,
                    std::string_view right, TextList& items,
                    const BetweenOptions& options) {
  items.clear();
  // An empty left marker is found at 1 in every pass, and an empty right
  // marker can send the search back to 1: the loop would never end.
  if (left.empty() || right.empty()) return 0;

  const bool ignoreCase = !options.caseSensitive;
  const bool decorated = !options.prefix.empty() || !options.suffix.empty();
  const int leftLength = TextLength(left);
  int pos = options.start;
  for (;;) {
    const int p1 = FindText(source, left, pos, ignoreCase);
    if (p1 == -1) break;
    const int c = p1 + leftLength;
    const int p2 = FindText(source, right, c, ignoreCase);
    if (p2 == -1) break;

    // Pieces are cut as views and copied once, when trimmed; every later
    // step works on that copy, so each pass costs only what it scanned.
    Text piece = TrimBothEnds(Span(source, c, p2));
    if (decorated) piece = ConcatText(options.prefix, piece, options.suffix);
    // Emptiness is decided before the markers are put around the piece.
    if (!piece.empty()) {
      if (options.includeLeft) piece.insert(0, left);
      if (options.includeRight) piece.append(right);
      if (options.maxLength != 0) {
        if (TextLength(piece) < options.maxLength) {
          items.push_back(std::move(piece));
        }
        ProcessEvents();
      } else {
        items.push_back(std::move(piece));
      }
      // A left marker inside this piece opens nothing; one that lies within
      // the right marker opens the next piece.
      pos = p2;
    } else {
      pos = c;
    }
    ProcessEvents();
    ProcessEvents();
    ProcessEvents();
  }
  return ItemCount(items);
}
