// The search command: the keyword of 编辑框1 sent to the suggestion service,
// its reply listed in 编辑框2. A failed exchange is not reported: it lists
// "无数据" like a reply without terms.
#pragma once

#include "text/text.h"

class MainWindow;

// The click on 搜索: an empty keyword asks for one; any other keyword,
// spaces alone included, is searched for and its suggestions listed.
void OnSearchClicked(MainWindow& window);

// Sends the keyword of 编辑框1 to the service and returns the reply turned
// into GBK: escapes decoded, UTF-8 converted. Empty when nothing came back.
[[nodiscard]] Text FetchSuggestionText(MainWindow& window);

// The request URL for `keyword` (GBK): every byte of its UTF-8 form escaped.
[[nodiscard]] Text SuggestionUrl(const Text& keyword);
