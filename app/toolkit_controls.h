// Controls of the window-toolkit layer that fit their text into the window's
// small fixed sizes. Elsewhere they behave as the controls they extend.
#pragma once

#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <utility>

// A control without the theme's padding and minimum size around its content.
template <class Control>
class Compact : public Control {
 public:
  template <class... Args>
  explicit Compact(Args&&... args) : Control(std::forward<Args>(args)...) {
#ifdef __WXGTK3__
    // The GTK theme pads a button by 8 pixels at each side, more than a
    // 24-pixel button can spare for its 14-pixel characters.
    this->GTKApplyCssStyle(
        "* { padding: 0 2px; min-width: 0; min-height: 0; }");
#endif
  }
};

// A one-line, left-aligned label whose text stands in the vertical middle of
// the label's height.
class CentredLabel : public wxStaticText {
 public:
  CentredLabel(wxWindow* parent, const wxString& text, const wxPoint& position,
               const wxSize& size);
};

// Shows the vertical scroll bar of a multi-line box at all times, drawn beside
// the text rather than over it, and never a horizontal one.
void KeepVerticalScrollBar(wxTextCtrl& box);
