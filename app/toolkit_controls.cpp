#include "app/toolkit_controls.h"

#ifdef __WXGTK3__
#include <dlfcn.h>
#endif

CentredLabel::CentredLabel(wxWindow* parent, const wxString& text,
                           const wxPoint& position, const wxSize& size)
    : wxStaticText(parent, wxID_ANY, text, position, size,
                   wxALIGN_LEFT | wxST_NO_AUTORESIZE) {
#ifdef __WXGTK3__
  // A GTK label draws its text at the top of a taller label.
  const int spare = size.y - GetTextExtent(text).y;
  if (spare >= 2) {
    GTKApplyCssStyle(
        wxString::Format("* { padding-top: %dpx; }", spare / 2).utf8_str());
  }
#endif
}

void KeepVerticalScrollBar([[maybe_unused]] wxTextCtrl& box) {
#ifdef __WXGTK3__
  // GTK hides the bar until the text overflows and then draws it over the
  // text only while the pointer moves, and wxWidgets has no switch for
  // either. GTK is loaded already, so its two setters are looked up in the
  // running process; the handle of a multi-line box is its scrolled window.
  using SetPolicy =
      void (*)(void* scrolledWindow, int horizontal, int vertical);
  using SetOverlayScrolling = void (*)(void* scrolledWindow, int overlay);
  constexpr int kPolicyAlways = 0;  // GtkPolicyType
  constexpr int kPolicyNever = 2;
  const auto setPolicy = reinterpret_cast<SetPolicy>(
      dlsym(RTLD_DEFAULT, "gtk_scrolled_window_set_policy"));
  const auto setOverlayScrolling = reinterpret_cast<SetOverlayScrolling>(
      dlsym(RTLD_DEFAULT, "gtk_scrolled_window_set_overlay_scrolling"));
  if (!box.IsMultiLine()) return;
  if (setPolicy != nullptr) {
    setPolicy(box.GetHandle(), kPolicyNever, kPolicyAlways);
  }
  if (setOverlayScrolling != nullptr) {
    setOverlayScrolling(box.GetHandle(), 0);
  }
#endif
}
