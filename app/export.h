// The export command: the result box written to a file chosen in the save
// dialog. The outcome is told in a message box; a write that fails is
// reported as a failure, and never leaves a half-written file behind.
#pragma once

#include "text/text.h"

class MainWindow;

// The click handler of 按钮2.
void OnExportClicked(MainWindow& window);

// Replaces the file `name` with `content`; an empty name touches nothing.
// False when the file could not be written; the old file then stays as it was.
[[nodiscard]] bool WriteBytesToFile(const Text& name, const Bytes& content);
