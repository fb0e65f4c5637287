// The window-toolkit layer over wxWidgets: control texts, event dispatch, the
// program directory and the application object that tracks the quit request.
// Texts cross this layer as GBK Text; a character that GBK lacks becomes "?".
// A multi-line box gives and takes its lines separated by CR LF. Nothing here
// fails.
#pragma once

#include <wx/app.h>

#include "text/text.h"

class wxString;
class wxTextCtrl;
class wxWindow;

[[nodiscard]] wxString ToWxString(const Text& text);
[[nodiscard]] Text FromWxString(const wxString& text);

// An edit box's contents, or the label of any other control.
[[nodiscard]] Text GetControlText(const wxWindow& control);
// Replaces the whole text; the empty text empties the control.
void SetControlText(wxWindow& control, const Text& text);
// Adds `text` after the box's last character, whatever the caret and the
// selection were; the caret ends after it. The box's undo does not record it.
void AppendText(wxTextCtrl& box, const Text& text);

// Dispatches the events that are waiting, then returns. Returns at once when
// the program has been asked to quit, leaving that request in force. Safe to
// call again from a handler that it dispatched.
void ProcessEvents();

// The directory of the running executable, without a trailing separator;
// the root directory stays "/".
[[nodiscard]] Text ProgramDirectory();
// The part of `path` before its last `separator`: "" when there is none, the
// separator itself when the path starts with its only one and it is '/'.
// Steps over two-byte GBK characters, whose trail byte may be 0x5C ('\').
[[nodiscard]] Text DirectoryOfPath(const Text& path, char separator);

// The application object: a wxApp that remembers that the running main loop
// has been asked to end, so that ProcessEvents leaves that request alone.
class ToolkitApp : public wxApp {
 public:
  int MainLoop() override;
  void ExitMainLoop() override;
  [[nodiscard]] bool QuitRequested() const { return quitRequested_; }

 private:
  bool quitRequested_ = false;
};
