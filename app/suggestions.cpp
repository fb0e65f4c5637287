#include "app/suggestions.h"

#include <string_view>

#include "app/main_window.h"
#include "app/suggestion_service.h"
#include "app/toolkit.h"
#include "app/toolkit_box.h"
#include "text/between.h"

namespace {

constexpr std::string_view kNoData = "\xCE\xDE\xCA\xFD\xBE\xDD";  // 无数据

}  // namespace

void ShowSuggestions(MainWindow& window, const Text& reply) {
  TextList terms;
  // The extraction dispatches events: a close of the window destroys it
  // there, so after it only the watched box is used, and only if it is left.
  const ControlWatch resultBox(window.编辑框2);
  // Emptied first, so the box stands empty while the extraction runs.
  SetControlText(*window.编辑框2, Text());
  AllTextsBetween(reply, kTermLeftMarker, kTermRightMarker, terms);
  wxTextCtrl* const box = resultBox.Get();
  if (box == nullptr) return;
  if (ItemCount(terms) == 0) {
    SetControlText(*box, Text(kNoData));
    return;
  }
  // No events are dispatched from here on, so the box may stay frozen.
  const BoxUpdateLock lock(*box);
  for (const Text& term : terms) AppendText(*box, ConcatText(term, "\r\n"));
}
