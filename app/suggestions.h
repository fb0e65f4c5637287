// The suggestion list: the terms of a service reply, listed in the result box
// 编辑框2 one per line, each followed by CR LF, or "无数据" when the reply
// holds none. Texts are GBK. Nothing here fails: a reply that is not what the
// service sends simply holds no terms.
#pragma once

#include "text/text.h"

class MainWindow;

// Empties the result box, cuts out every term of `reply` that stands between
// ["  and  "," and appends it. Window events are dispatched while the terms
// are cut out, so a click may run another command before the terms are
// appended: a search run that way lists its terms first, and these follow.
void ShowSuggestions(MainWindow& window, const Text& reply);
