#include "app/toolkit.h"

#include <wx/apptrait.h>
#include <wx/evtloop.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>
#include <wx/textctrl.h>

#include <memory>

#include "text/codepage.h"

namespace {

bool IsMultiLineBox(const wxWindow& control) {
  const auto* box = dynamic_cast<const wxTextCtrl*>(&control);
  return box != nullptr && box->IsMultiLine();
}

// wx keeps the lines of a multi-line box apart with LF alone, on every
// platform; the system's texts use CR LF. LF is never a GBK trail byte.
Text LfToCrLf(const Text& text) {
  Text out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

Text CrLfToLf(const Text& text) {
  Text out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

}  // namespace

wxString ToWxString(const Text& text) {
  return wxString::FromUTF8(AnsiToUtf8(text));
}

Text FromWxString(const wxString& text) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  return Utf8ToAnsi(Text(utf8.data(), utf8.length()));
}

Text GetControlText(const wxWindow& control) {
  if (const auto* box = dynamic_cast<const wxTextCtrl*>(&control)) {
    const Text text = FromWxString(box->GetValue());
    return box->IsMultiLine() ? LfToCrLf(text) : text;
  }
  return FromWxString(control.GetLabel());
}

void SetControlText(wxWindow& control, const Text& text) {
  if (auto* box = dynamic_cast<wxTextCtrl*>(&control)) {
    // ChangeValue: setting a text programmatically is not a user edit.
    box->ChangeValue(ToWxString(IsMultiLineBox(*box) ? CrLfToLf(text) : text));
    return;
  }
  control.SetLabel(ToWxString(text));
}

void AppendText(wxTextCtrl& box, const Text& text) {
  const long end = box.GetLastPosition();
  box.SetSelection(end, end);
  box.WriteText(ToWxString(box.IsMultiLine() ? CrLfToLf(text) : text));
  box.SetInsertionPointEnd();
  box.ShowPosition(box.GetLastPosition());
}

void ProcessEvents() {
  if (const auto* app = dynamic_cast<const ToolkitApp*>(wxTheApp);
      app != nullptr && app->QuitRequested()) {
    return;
  }
  // YieldFor, which dispatches at every depth: Yield(true) does nothing when
  // entered again from a handler that an outer call dispatched, and wx
  // documents Yield(false) there as an error.
  if (wxEventLoopBase* const loop = wxEventLoopBase::GetActive()) {
    loop->YieldFor(wxEVT_CATEGORY_ALL);
    return;
  }
  // Before the main loop runs, a loop of our own dispatches.
  if (wxTheApp == nullptr) return;
  const std::unique_ptr<wxEventLoopBase> loop(
      wxTheApp->GetTraits()->CreateEventLoop());
  if (loop) loop->YieldFor(wxEVT_CATEGORY_ALL);
}

Text DirectoryOfPath(const Text& path, char separator) {
  std::size_t last = Text::npos;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const auto byte = static_cast<unsigned char>(path[i]);
    if (byte >= 0x80) {
      ++i;  // the trail byte of a two-byte character is never a separator
    } else if (path[i] == separator) {
      last = i;
    }
  }
  if (last == Text::npos) return Text();
  if (last == 0 && separator == '/') return Text("/");
  return path.substr(0, last);
}

Text ProgramDirectory() {
  return DirectoryOfPath(
      FromWxString(wxStandardPaths::Get().GetExecutablePath()),
      static_cast<char>(wxFILE_SEP_PATH));
}

int ToolkitApp::MainLoop() {
  quitRequested_ = false;
  const int exitCode = wxApp::MainLoop();
  quitRequested_ = false;  // the loop has taken the request
  return exitCode;
}

void ToolkitApp::ExitMainLoop() {
  quitRequested_ = true;
  wxApp::ExitMainLoop();
}
