#include "app/search.h"

#include <string_view>

#include "app/main_window.h"
#include "app/suggestion_service.h"
#include "app/suggestions.h"
#include "app/toolkit.h"
#include "app/toolkit_busy.h"
#include "app/toolkit_dialogs.h"
#include "http/request.h"
#include "text/percent.h"

namespace {

constexpr std::string_view kEnterKeyword =
    "\xC7\xEB\xCA\xE4\xC8\xEB\xB9\xD8\xBC\xFC\xB4\xCA";  // 请输入关键词

}  // namespace

Text SuggestionUrl(const Text& keyword) {
  return ConcatText("https://", SuggestionHost, kSuggestionUrlHead,
                    UrlEncode(keyword, false, true), kSuggestionUrlTail);
}

Text FetchSuggestionText(MainWindow& window) {
  const Text url = SuggestionUrl(GetControlText(*window.编辑框1));
  Text headers(SearchHeaderBlock);
  Bytes reply;
  {
    // The exchange blocks the window thread; no event is dispatched here.
    const BusyCursor busy;
    reply = HttpRequest(url, {.method = 0, .headers = &headers});
  }
  return UrlDecode(ToText(reply), true);
}

void OnSearchClicked(MainWindow& window) {
  // Only a box without any character is empty: spaces are searched for.
  if (CompareText(GetControlText(*window.编辑框1), "") == 0) {
    ShowMessage(Text(kEnterKeyword), 0);
    return;
  }
  ShowSuggestions(window, FetchSuggestionText(window));
}
