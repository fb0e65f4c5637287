// The modal dialogs of the window-toolkit layer: the file dialog component
// with its properties, and the message box. Texts are GBK Text. A cancelled
// dialog is not a failure: ShowFileDialog gives false and leaves the
// properties as they were.
#pragma once

#include <wx/string.h>

#include "text/text.h"

// The file dialog component. Its properties persist from one run to the next.
struct FileDialog {
  int dialogType = 0;     // 0 opens a file, 1 saves one
  Text title;             // empty: the system's caption
  Text fileName;          // put in the name field; the full path after a run
  Text filter;            // "description|pattern|description|pattern..."
  int initialFilter = 0;  // 0-based entry selected at opening
  Text initialDirectory;  // empty: the system chooses
  Text defaultExtension;  // added to a chosen name without one
  bool createPrompt = false;
  bool fileMustExist = true;
  bool overwritePrompt = true;
  bool pathMustExist = true;
  bool noChangeDirectory = false;
};

// Runs the open (dialogType 0) or save (1) dialog modally. True when a name
// was confirmed: `fileName` then holds its full path. A save dialog accepts
// names that do not exist yet, whatever `fileMustExist` says.
[[nodiscard]] bool ShowFileDialog(FileDialog& dialog);

// The toolkit's wildcard for `filter`: trailing white space dropped, entries
// without a pattern dropped.
[[nodiscard]] wxString WildcardFromFilter(const Text& filter);

// A modal message box titled "信息：" without an icon, disabling the program's
// windows while it shows. `buttons`: 0 OK, 1 OK and Cancel, 3 Yes, No and
// Cancel, 4 Yes and No. Gives the button pressed: OK 0, Cancel 1, Yes 5, No 6.
int ShowMessage(const Text& text, int buttons = 0);
