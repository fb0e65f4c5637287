// The file-system part of the platform layer: replacing a file's whole
// contents in one step. File names are GBK Text, turned into the platform's
// own names here. Failure is a false result; nothing is reported.
#pragma once

#include "text/text.h"

// Writes `content` to a new file beside `path`, flushes it to the disk and
// renames it over `path`, which keeps its permissions when it existed. A
// symbolic link at `path` is followed, so its target is replaced. On any
// failure `path` stays as it was and the new file is removed.
[[nodiscard]] bool ReplaceFileContents(const Text& path, const Bytes& content);
